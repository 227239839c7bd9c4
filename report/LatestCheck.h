// The last calibration check of a car, for its handover report: the newest
// result file kept beside a checked log in the car's logs folder, read back
// and put in the report's words (band, verdict, what to adjust or why there
// is no verdict).
#pragma once

#include <QLocale>
#include <QString>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

#include "EcuLink.h"
#include "ReportData.h"

namespace ReportContents {

// A text of the report's language by dictionary key; nullopt keeps the
// Italian one.
using Lookup = std::function<std::optional<QString>(const QString& key)>;

// The logs of the ECU's sessions in one car: "Logs" beside the history
// folder, then the car's folder name (the ECU's plain one without a card).
std::filesystem::path LogsFolder(const std::filesystem::path& historyFolder,
                                 const ecu::Identification& id, std::string_view vehicleKey);

// The newest result file under folder (and its subfolders) that reads as a
// result, with when it was written; nullopt when there is none. A file that
// is not a result is passed over.
std::optional<ReportCheck> LatestCheck(const std::filesystem::path& folder, const Lookup& lookup,
                                       const QLocale& locale);

}  // namespace ReportContents
