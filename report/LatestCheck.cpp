#include "LatestCheck.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <system_error>
#include <vector>

#include "History.h"
#include "ResultFile.h"

namespace fs = std::filesystem;

namespace {

// A token of the result file, the dictionary key of its text and the Italian
// text kept when the dictionary has none.
struct Word {
  const char* token;
  const char* key;
  const char* italian;
};

const Word kBands[] = {
    {"idle", "LabelBandaMinimo", "Minimo"},
    {"2500", "LabelBandaGiri", "2500 giri/min"},
};

const Word kVerdicts[] = {
    {"ok", "EsitoOk", "OK"},
    {"lean-on-gas", "EsitoMagro", "Magro a gas"},
    {"rich-on-gas", "EsitoRicco", "Ricco a gas"},
    {"lambda-not-switching", "EsitoSondaFerma", "Lambda non commuta a gas"},
    {"actuator-upper-limit", "EsitoLimiteSup", "Attuatore al limite superiore"},
    {"actuator-lower-limit", "EsitoLimiteInf", "Attuatore al limite inferiore"},
    {"not-enough-data", "EsitoDatiInsufficienti", "Dati insufficienti"},
};

const Word kAdvice[] = {
    {"ok", "ConsiglioOk", "Nessuna regolazione necessaria."},
    {"lean-on-gas", "ConsiglioMagro",
     "Arricchire: aprire un poco la regolazione del gas su riduttore o miscelatore; controllare "
     "perdite e filtro."},
    {"rich-on-gas", "ConsiglioRicco",
     "Smagrire: chiudere un poco la regolazione del gas su riduttore o miscelatore."},
    {"lambda-not-switching", "ConsiglioSonda",
     "Controllare la sonda lambda, il suo cablaggio e il tipo di emulazione."},
    {"actuator-upper-limit", "ConsiglioLimiteSup",
     "Attuatore senza corsa: aprire la regolazione del gas finché lavora dentro la sua finestra."},
    {"actuator-lower-limit", "ConsiglioLimiteInf",
     "Attuatore senza corsa: chiudere la regolazione del gas finché lavora dentro la sua "
     "finestra."},
};

// Why a band has no verdict.
const Word kReasons[] = {
    {"not-recorded", "MotivoNonRegistrato", "Fase non ancora registrata."},
    {"too-short", "MotivoBreve", "Meno di 20 s nella fascia di giri."},
    {"cold", "MotivoFreddo", "Motore freddo: attendere che si scaldi."},
    {"not-steady", "MotivoNonStabile", "Giri non stabili: tenerli fermi per 20 s."},
    {"no-switching", "MotivoSondaBenzina", "La sonda non commuta a benzina: controllarla."},
    {"no-petrol-reference", "MotivoRiferimento",
     "Manca la stessa fase a benzina per il confronto."},
};

template <std::size_t N>
QString TextOf(const Word (&words)[N], const std::string& token,
               const ReportContents::Lookup& lookup) {
  for (const Word& w : words) {
    if (token != w.token) continue;
    if (lookup) {
      if (const auto found = lookup(QLatin1String(w.key)); found && !found->isEmpty()) return *found;
    }
    return QString::fromUtf8(w.italian);
  }
  return QString::fromStdString(token);
}

struct Candidate {
  fs::path file;
  fs::file_time_type written;
};

// Every result file under folder, newest first.
std::vector<Candidate> ResultFiles(const fs::path& folder) {
  std::vector<Candidate> found;
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied,
                                           error),
       end;
       !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    constexpr std::string_view kEnding = ".check.csv";
    if (name.size() <= kEnding.size() || !name.ends_with(kEnding)) continue;
    std::error_code e;
    if (!it->is_regular_file(e)) continue;
    const auto written = it->last_write_time(e);
    if (!e) found.push_back({it->path(), written});
  }
  std::sort(found.begin(), found.end(), [](const Candidate& a, const Candidate& b) {
    return a.written != b.written ? a.written > b.written : a.file > b.file;
  });
  return found;
}

QString WhenWritten(const fs::path& file, const QLocale& locale) {
  const QDateTime written = QFileInfo(QFile::decodeName(file.c_str())).lastModified();
  return locale.toString(written, QLocale::ShortFormat);
}

}  // namespace

namespace ReportContents {

fs::path LogsFolder(const fs::path& historyFolder, const ecu::Identification& id,
                    std::string_view vehicleKey) {
  return historyFolder.parent_path() / "Logs" / history::EcuFolderName(id, vehicleKey);
}

std::optional<ReportCheck> LatestCheck(const fs::path& folder, const Lookup& lookup,
                                       const QLocale& locale) {
  for (const Candidate& candidate : ResultFiles(folder)) {
    std::vector<calibration::ResultRow> rows;
    std::string error;
    if (!calibration::ReadResultFile(candidate.file.string(), &rows, &error)) continue;
    ReportCheck check;
    check.taken = WhenWritten(candidate.file, locale);
    // The gas line carries the band's verdict, gas judged against petrol.
    for (const calibration::ResultRow& row : rows) {
      if (row.fuel != "gas") continue;
      ReportCheckBand band;
      band.band = TextOf(kBands, row.band, lookup);
      band.verdict = TextOf(kVerdicts, row.verdict, lookup);
      band.ok = row.verdict == "ok";
      band.judged = row.verdict != "not-enough-data";
      band.advice = band.judged ? TextOf(kAdvice, row.verdict, lookup)
                                : TextOf(kReasons, row.reason, lookup);
      check.bands.append(band);
    }
    if (!check.bands.isEmpty()) return check;
  }
  return std::nullopt;
}

}  // namespace ReportContents
