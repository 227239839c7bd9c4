// What the handover report says of this session, gathered the way the
// technician sees it: each configuration window is built off screen and its
// rows are read as they show (caption, value, unit), so the report never
// keeps a second list of parameters; the changes come from the session's
// journal, the car from its vehicle card, the workshop from the settings.
// The program's File menu and ecuctl both make their reports here, so the
// two are the same for the same state.
#pragma once

#include <QString>
#include <filesystem>
#include <string>

#include "FormContext.h"
#include "ReportData.h"

namespace ReportContents {

// Where the session's history is kept: the history folder, and the key of
// the car chosen (empty: the ECU's plain folder).
struct Session {
  std::filesystem::path historyFolder;
  std::string vehicleKey;
};

// The report's words and the date in the selected language.
ReportTexts Texts(TModuloLingua* language);
// The configuration windows' rows, grouped as in the windows (their pages).
QList<ReportGroup> Configuration(const FormContext& context);
// The lambda checks as the diagnosis window shows them; empty for an ECU
// without the diagnosis.
QString Diagnosis(const FormContext& context);
// The journal's writes from since on ("YYYY-MM-DD HH:MM:SS", or a prefix).
QList<ReportChange> Changes(const std::filesystem::path& journal, const QString& since,
                            TModuloLingua* language);
// The whole report of the ECU of context in the car of session, its changes
// from since on.
ReportData Collect(const FormContext& context, const Session& session, const QString& since);

}  // namespace ReportContents
