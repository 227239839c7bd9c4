// Plain English names of the parameter identifiers, for the companion's
// output and the journal's readers; the windows take their captions from the
// dictionary instead.
#pragma once

#include <string>

// The name of identifier 0..74 ("parameter N" outside that range); an array
// element gets its 1-based position: "TPS voltages [2]".
std::string ParameterName(int identifier, int element = -1);
