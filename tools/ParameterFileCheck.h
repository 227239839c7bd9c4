// The strict check of a parameter file before anything of it goes to the ECU.
// It is the parameter-file reader's own verdict (model/ParameterFileReader.h),
// the same reader the store's load uses, so a file that passes loads as
// exactly the values the reader reported.
#pragma once

#include <string>

#include "ParameterFileReader.h"

// Empty when the file is sound; otherwise "line N: what is wrong".
std::string CheckParameterFile(const std::string& path);
// The same for bytes in memory; reading (when given) receives what was read.
std::string CheckParameterBytes(const std::string& bytes, paramfile::Reading* reading = nullptr);
