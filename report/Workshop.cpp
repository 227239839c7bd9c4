#include "Workshop.h"

#include <QSettings>


WorkshopDetails LoadWorkshop() {
  QSettings settings(QStringLiteral("OXT srl"), QStringLiteral("MirelVantor"));
  settings.beginGroup(QStringLiteral("Officina"));
  WorkshopDetails details;
  details.name = settings.value(QStringLiteral("Nome")).toString();
  details.address = settings.value(QStringLiteral("Indirizzo")).toString();
  details.phone = settings.value(QStringLiteral("Telefono")).toString();
  details.vatNumber = settings.value(QStringLiteral("PartitaIva")).toString();
  details.logoFile = settings.value(QStringLiteral("Logo")).toString();
  return details;
}

bool SaveWorkshop(const WorkshopDetails& details) {
  QSettings settings(QStringLiteral("OXT srl"), QStringLiteral("MirelVantor"));
  settings.beginGroup(QStringLiteral("Officina"));
  settings.setValue(QStringLiteral("Nome"), details.name);
  settings.setValue(QStringLiteral("Indirizzo"), details.address);
  settings.setValue(QStringLiteral("Telefono"), details.phone);
  settings.setValue(QStringLiteral("PartitaIva"), details.vatNumber);
  settings.setValue(QStringLiteral("Logo"), details.logoFile);
  settings.endGroup();
  settings.sync();
  return settings.status() == QSettings::NoError;
}
