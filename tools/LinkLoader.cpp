#include "LinkLoader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

LinkLoader::~LinkLoader() {
  if (link_ != nullptr && destroy_ != nullptr) destroy_(link_);
  if (handle_ != nullptr) ::dlclose(handle_);
}

std::string LinkLoader::ProgramFolder() {
  char path[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "./";
  std::string exe(path, static_cast<std::size_t>(n));
  return exe.substr(0, exe.rfind('/') + 1);
}

bool LinkLoader::Load(std::string* error) {
  const std::string path = ProgramFolder() + ECU_LINK_LIBRARY_FILE;
  handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    *error = "cannot load the link library: " + std::string(::dlerror());
    return false;
  }
  auto create = reinterpret_cast<CreateClassInstanceFn>(::dlsym(handle_, ECU_LINK_CREATE_SYMBOL));
  destroy_ = reinterpret_cast<DestroyClassInstanceFn>(::dlsym(handle_, ECU_LINK_DESTROY_SYMBOL));
  if (create == nullptr || destroy_ == nullptr) {
    *error = path + " is not an ECU link library (factory functions missing)";
    return false;
  }
  link_ = create();
  if (link_ == nullptr) {
    *error = "the link library could not create its link object";
    return false;
  }
  return true;
}
