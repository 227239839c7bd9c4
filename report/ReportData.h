// What a handover report says, as plain data with every text already in the
// chosen language: whoever makes a report (the program's File menu, ecuctl)
// fills it in, and ReportDocument lays it out.
#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "VehicleCard.h"
#include "Workshop.h"

struct ReportRow {
  QString caption;
  QString value;
  QString unit;
};

// The rows of one configuration window (or one page of it), in its order.
struct ReportGroup {
  QString title;
  QList<ReportRow> rows;
};

struct ReportChange {
  QString time;
  QString caption;
  QString oldValue;
  QString newValue;
  bool refused = false;  // the ECU refused the value, or did not answer
};

// One engine speed band of the last calibration check, gas judged against
// petrol.
struct ReportCheckBand {
  QString band;
  QString verdict;
  QString advice;       // what to adjust, or why there is no verdict
  bool ok = false;      // nothing to adjust
  bool judged = false;  // false: not enough data for a verdict
};

// The last calibration check: when it was made and its verdict per band.
struct ReportCheck {
  QString taken;
  QList<ReportCheckBand> bands;
};

// The report's own words, looked up by dictionary key (ReportTextKeys).
struct ReportTexts {
  QString title = QStringLiteral("Rapporto di intervento");
  QString vehicle = QStringLiteral("Vettura");
  QString plate = QStringLiteral("Targa");
  QString vin = QStringLiteral("Numero di telaio");
  QString make = QStringLiteral("Marca");
  QString model = QStringLiteral("Modello");
  QString owner = QStringLiteral("Proprietario");
  QString odometer = QStringLiteral("Chilometri");
  QString cardNotes = QStringLiteral("Note");
  QString noCard = QStringLiteral("Nessuna scheda vettura.");
  QString ecu = QStringLiteral("Centralina");
  QString identification = QStringLiteral("Identificazione");
  QString program = QStringLiteral("Versione programma");
  QString date = QStringLiteral("Data");
  QString configuration = QStringLiteral("Configurazione");
  QString changes = QStringLiteral("Modifiche");
  QString since = QStringLiteral("dal");
  QString parameter = QStringLiteral("Parametro");
  QString before = QStringLiteral("Prima");
  QString after = QStringLiteral("Dopo");
  QString refused = QStringLiteral("RIFIUTATA");
  QString noChanges = QStringLiteral("Nessuna modifica.");
  QString diagnosis = QStringLiteral("Diagnosi");
  QString check = QStringLiteral("Verifica della taratura");
  QString notes = QStringLiteral("Note");
  QString technician = QStringLiteral("Il tecnico");
  QString customer = QStringLiteral("Il cliente");
  QString phone = QStringLiteral("Tel.");
  QString vat = QStringLiteral("P. IVA");
  QString yes = QStringLiteral("Sì");
  QString no = QStringLiteral("No");
  QString off = QStringLiteral("disattivato");
};

struct ReportData {
  WorkshopDetails workshop;
  std::optional<vehicle::Card> card;
  QString identification;  // "18-0-1-23"
  QString programVersion;
  QString date;            // as the report's language writes it
  QString changesSince;    // when the changes listed start
  QList<ReportGroup> configuration;
  QList<ReportChange> changes;
  QString diagnosis;       // empty: the section is left out
  std::optional<ReportCheck> check;
  ReportTexts texts;
};
