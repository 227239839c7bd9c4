// The link library beside the program (libSerOxtDL.so, SerOxtDL.dll on
// Windows), loaded at run time, and the ECU link object its factory hands out.
#pragma once

#include <QLibrary>
#include <QString>

#include "EcuLink.h"

class LinkLibrary {
 public:
  LinkLibrary() = default;
  ~LinkLibrary();
  LinkLibrary(const LinkLibrary&) = delete;
  LinkLibrary& operator=(const LinkLibrary&) = delete;

  // Loads the library from folder; false with ErrorText() when it cannot.
  bool Load(const QString& folder);
  // Resolves the two factory exports and creates the link object; nullptr with
  // ErrorText() when _CreateClassInstance is missing or hands out nothing.
  ecu::EcuLink* CreateLink();
  // Gives the object back to _DestroyClassInstance, when the library has it.
  void DestroyLink(ecu::EcuLink* link);
  void Unload();

  QString ErrorText() const { return error_; }

 private:
  QLibrary library_;
  DestroyClassInstanceFn destroy_ = nullptr;
  QString error_;
};
