// A strict check of a parameter file before anything of it goes to the ECU:
// header and trailer, the identification line, and one well-formed line per
// identifier 0..72 with the right code and a raw value (or the missing-value
// marker) for each element.
#pragma once

#include <string>

// Empty when the file is sound; otherwise "line N: what is wrong".
std::string CheckParameterFile(const std::string& path);
