// ecuctl report: the handover report of the connected ECU's car as a PDF,
// made by the same builder as the program's File menu ("Rapporto..."), in the
// language the program was last used in.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "EcuLink.h"

bool IsReportCommand(const std::string& name);
// Runs "report [--since SNAPSHOT|DATE] [--vehicle PLATE] [--language L]
// --out FILE.pdf" (arguments without the program name).
int RunReportCommand(const std::vector<std::string>& args, ecu::EcuLink& link, std::ostream& out,
                     std::ostream& err);
