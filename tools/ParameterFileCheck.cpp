#include "ParameterFileCheck.h"

namespace {

std::string Verdict(const paramfile::Reading& reading) {
  if (reading.whole) return {};
  return reading.problem.empty() ? std::string("not a parameter file") : reading.problem;
}

}  // namespace

std::string CheckParameterFile(const std::string& path) {
  return Verdict(paramfile::ReadFile(path));
}

std::string CheckParameterBytes(const std::string& bytes, paramfile::Reading* reading) {
  paramfile::Reading read = paramfile::ReadBytes(bytes);
  std::string verdict = Verdict(read);
  if (reading != nullptr) *reading = std::move(read);
  return verdict;
}
