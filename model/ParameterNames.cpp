#include "ParameterNames.h"

#include "Parameters.h"

std::string ParameterName(int identifier, int element) {
  const params::Parameter* p = params::Find(identifier);
  if (p == nullptr) return "parameter " + std::to_string(identifier);
  std::string name = p->name;
  if (element >= 0) name += " [" + std::to_string(element) + "]";
  return name;
}
