// The link library beside the program (libSerOxtDL.so, SerOxtDL.dll on
// Windows), loaded at run time, and the ECU link object its factory hands out.
#pragma once

#include <QLibrary>
#include <QString>

#include "EcuLink.h"
#include "LinkFailureReason.h"

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
  // Why the library's last attempt to reach the ECU failed, in its own words;
  // empty when it did not fail, or when the library cannot say (an older
  // library without _GetLastFailureText).
  QString LastFailure() const;
  // The same failure with its kind and details, to be said in the
  // technician's language (LinkFailureReason); a library without
  // _GetLastFailureKind gives its sentence only, as kind kFailureOther.
  LinkFailure LastFailureDetail() const;
  void Unload();

  QString ErrorText() const { return error_; }

 private:
  QLibrary library_;
  DestroyClassInstanceFn destroy_ = nullptr;
  GetLastFailureTextFn lastFailure_ = nullptr;
  GetLastFailureKindFn lastFailureKind_ = nullptr;
  QString error_;
};
