// The workshop's own details, printed at the head of every report: kept in
// the program's settings (group "Officina"), so the program and ecuctl read
// the same ones.
#pragma once

#include <QString>

struct WorkshopDetails {
  QString name;
  QString address;
  QString phone;
  QString vatNumber;
  QString logoFile;  // a picture file; empty for none

  bool operator==(const WorkshopDetails&) const = default;
};

// The longest name, address, phone and VAT number a report prints whole.
constexpr int kWorkshopFieldLength = 80;

// Reads them from the settings of organisation "OXT srl", application
// "MirelVantor"; empty fields when none were kept.
WorkshopDetails LoadWorkshop();
// Writes them there at once; false when the settings cannot be written.
bool SaveWorkshop(const WorkshopDetails& details);
