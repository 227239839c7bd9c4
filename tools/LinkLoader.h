// Loads the ECU link library from the folder of the running program, as the
// workshop program does, and hands out its link object.
#pragma once

#include <string>

#include "EcuLink.h"

class LinkLoader {
 public:
  LinkLoader() = default;
  ~LinkLoader();
  LinkLoader(const LinkLoader&) = delete;
  LinkLoader& operator=(const LinkLoader&) = delete;

  // false with the reason in error (library missing, symbols missing).
  bool Load(std::string* error);
  ecu::EcuLink* Link() const { return link_; }

  // Folder of the running program, with a trailing slash.
  static std::string ProgramFolder();

 private:
  void* handle_ = nullptr;
  DestroyClassInstanceFn destroy_ = nullptr;
  ecu::EcuLink* link_ = nullptr;
};
