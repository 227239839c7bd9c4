// The program's settings: the main folder, the configurations folder derived
// from it, and a few integer settings, kept between runs with QSettings under
// organisation "OXT srl", application "MirelVantor" (values "MainPath",
// "Language", "Stat1"; the recording rate "RecordingRate" is kept at once).
#pragma once

#include <QString>

#include "Workshop.h"

class QWidget;

class GlobalData {
 public:
  // Setting numbers.
  static constexpr int kSetting8 = 8;
  static constexpr int kSetting9 = 9;
  static constexpr int kLanguage = 11;
  static constexpr int kStat1 = 16;
  // Folder numbers.
  static constexpr int kMainFolder = 1;
  static constexpr int kConfigurationsFolder = 3;

  // Reads the stored values. goOn becomes 1 when the program may go on, 0 when
  // the user declined to continue after the stored values could not be read.
  explicit GlobalData(int& goOn, QWidget* questionParent = nullptr);
  // Writes "MainPath", "Language" and "Stat1" back.
  ~GlobalData();
  GlobalData(const GlobalData&) = delete;
  GlobalData& operator=(const GlobalData&) = delete;

  // Folder 1 (main) or 3 (configurations) into buffer; false and buffer
  // untouched for any other number.
  bool GetPath(int number, QString& buffer) const;
  // Folder 1 only: the main folder becomes text and the configurations folder
  // text + "/Configurazioni".
  bool SetPath(int number, const QString& text);
  // Settings 8, 9, 11, 16; 0 for any other number.
  int GetSetting(int number) const;
  // false for any number other than 8, 9, 11, 16.
  bool SetSetting(int number, int value);

  // The workshop's own details, read from and kept in the settings at once
  // (ecuctl reads the same); false when they could not be written.
  WorkshopDetails Workshop() const { return LoadWorkshop(); }
  bool SetWorkshop(const WorkshopDetails& details) { return SaveWorkshop(details); }

  // The rate the live view records its sessions at, in polls a second (0:
  // as fast as the line allows), read from and kept in the settings at once
  // under "RecordingRate"; 10 when none or an unknown one is stored.
  int RecordingRate() const;
  // false, and nothing stored, for a rate that is not offered.
  bool SetRecordingRate(int rate);

  // The program stops without releasing anything: nothing is written back.
  void DiscardWithoutSaving() { writeBack_ = false; }

  static QString ConfigurationsFolderOf(const QString& mainFolder);

 private:
  QString mainFolder_;
  QString configurationsFolder_;
  int setting8_ = 0;
  int setting9_ = 0;
  int language_ = 0;
  int stat1_ = 0;
  bool writeBack_ = true;
};
