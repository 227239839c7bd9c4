// What the handover report says of this session, gathered the way the
// technician sees it: each configuration window is built off screen and its
// rows are read as they show (caption, value, unit), so the report never
// keeps a second list of parameters; the changes come from the session's
// journal, the car from its vehicle card, the workshop from the settings.
#pragma once

#include <QString>

#include "FormContext.h"
#include "ReportData.h"

class ConnectionHistory;

namespace ReportContents {

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
// The whole report of the session kept by history, changes from since on.
ReportData Collect(const FormContext& context, const ConnectionHistory& history,
                   const QString& since);

}  // namespace ReportContents
