// Plain English names of the parameter identifiers, for the companion's
// output and the journal's readers; the windows take their captions from the
// dictionary instead.
#pragma once

#include <string>

// The name of an identifier of the table ("parameter N" outside it); an array
// element gets its index, counted from 0 as everywhere else (the journal,
// `ecuctl set ID INDEX`, the link): "TPS voltages [1]" is the second.
std::string ParameterName(int identifier, int element = -1);
