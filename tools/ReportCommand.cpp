#include "ReportCommand.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <cstdio>

#include "Companion.h"
#include "ConfCar.h"
#include "HistoryCommands.h"
#include "History.h"
#include "LinkLoader.h"
#include "ModuloLingua.h"
#include "QtStandardTexts.h"
#include "ReportContents.h"
#include "ReportDocument.h"
#include "ReportOptions.h"
#include "VehicleCard.h"

namespace {

struct Options {
  std::string since;
  std::string plate;
  std::string language;
  std::string out;
};

int Usage(std::ostream& err, const std::string& why) {
  err << "ecuctl: " << why << " (ecuctl help shows the commands)\n";
  return kExitUsage;
}

bool Parse(const std::vector<std::string>& args, Options* o, std::string* error) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string* target = a == "--since"      ? &o->since
                          : a == "--vehicle"  ? &o->plate
                          : a == "--language" ? &o->language
                          : a == "--out"      ? &o->out
                                              : nullptr;
    if (target == nullptr) {
      *error = a.rfind("--", 0) == 0 ? "unknown option " + a : "report takes no operand " + a;
      return false;
    }
    if (i + 1 >= args.size() || args[i + 1].empty()) {
      *error = a + " needs a value";
      return false;
    }
    *target = args[++i];
  }
  if (o->out.empty()) {
    *error = "report needs --out FILE.pdf";
    return false;
  }
  return true;
}

// Qt's own notes (a missing runtime folder, a font substituted) are not the
// command's business; what stops Qt still reaches the terminal.
void OnlyQtFailures(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::fprintf(stderr, "ecuctl: %s\n", qPrintable(message));
}

// The report is made by windows that never show: Qt runs on its offscreen
// platform, so the command works without a display.
class OffscreenApplication {
 public:
  OffscreenApplication() {
    qInstallMessageHandler(OnlyQtFailures);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application_ = std::make_unique<QApplication>(argc_, argv_);
    QApplication::setOrganizationName(QStringLiteral("OXT srl"));
    QApplication::setApplicationName(QStringLiteral("MirelVantor"));
    QApplication::setApplicationVersion(QStringLiteral(MV_VERSION));
  }

 private:
  int argc_ = 1;
  char name_[7] = "ecuctl";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> application_;
};

// The dictionary beside the program, in the language asked for or else the
// one the program was last used in; kExitOk, or the exit code after saying
// why not.
int OpenLanguage(TModuloLingua& language, const std::string& asked, std::ostream& err) {
  const QString folder = QString::fromStdString(LinkLoader::ProgramFolder());
  if (!language.Open(folder, QStringLiteral("DizionarioVnt.dbf"))) {
    err << "ecuctl: cannot read the dictionary DizionarioVnt.dbf in " << folder.toStdString()
        << "\n";
    return kExitBadFile;
  }
  language.SetUsable(true);
  const QStringList fields = language.LanguageFields();
  QString field;
  if (!asked.empty()) {
    const QString wanted = QString::fromStdString(asked);
    for (const QString& f : fields)
      if (f.compare(wanted, Qt::CaseInsensitive) == 0 ||
          QtStandardTexts::LocaleOfColumn(f).compare(wanted, Qt::CaseInsensitive) == 0)
        field = f;
    if (field.isEmpty()) {
      err << "ecuctl: no language " << asked << " (one of: "
          << fields.join(QStringLiteral(", ")).toStdString() << ")\n";
      return kExitUsage;
    }
  } else {
    const int stored = QSettings().value(QStringLiteral("Language"), 0).toInt();
    field = fields.value(stored >= 0 && stored < fields.size() ? stored : 0);
  }
  language.SetSelectedColumn(field);
  return kExitOk;
}

}  // namespace

bool IsReportCommand(const std::string& name) {
  return name == "report";
}

int RunReportCommand(const std::vector<std::string>& args, ecu::EcuLink& link, std::ostream& out,
                     std::ostream& err) {
  Options o;
  std::string error;
  if (!Parse(args, &o, &error)) return Usage(err, error);
  const QFileInfo target(QFile::decodeName(o.out.c_str()));
  if (target.isDir()) return Usage(err, o.out + " is a folder; --out names the PDF file");
  if (!target.absoluteDir().exists()) {
    err << "ecuctl: no folder " << target.absolutePath().toStdString() << " to write the report in\n";
    return kExitBadFile;
  }

  OffscreenApplication application;
  TModuloLingua language;
  if (const int opened = OpenLanguage(language, o.language, err); opened != kExitOk) return opened;

  ecu::Identification id;
  if (const int connected = ConnectAndIdentify(link, &id, err); connected != kExitOk) {
    link.Disconnect();
    return connected;
  }
  const std::filesystem::path folder = history::DefaultFolder();
  std::string key;
  if (!o.plate.empty()) {
    const auto card = vehicle::FindCard(folder, id, o.plate);
    if (!card) {
      link.Disconnect();
      err << "ecuctl: no vehicle card " << o.plate << " for "
          << history::EcuFolderName(id) << " (ecuctl vehicle list shows the cards)\n";
      return kExitUsage;
    }
    key = card->key;
  } else if (const auto last = vehicle::LastChosen(folder, id)) {
    key = last->key;
  }
  std::string since = QDate::currentDate().toString(Qt::ISODate).toStdString();
  if (!o.since.empty()) {
    const auto start = report_since::Resolve(o.since, history::ListSnapshots(folder).snapshots,
                                             history::EcuFolderName(id, key));
    if (start.since.empty()) {
      link.Disconnect();
      return Usage(err, start.error);
    }
    since = start.since;
  }

  // The ECU's present configuration, read whole as the program reads it.
  ConfCar store("ecuctl.dmr", &link);
  store.SetVariantFlag(id.variant == 2);
  store.ReadAll();
  if (!link.IsConnected()) {
    link.Disconnect();
    err << "ecuctl: the ECU stopped answering while its configuration was read; no report made\n";
    return kExitLinkLost;
  }
  FormContext context;
  context.store = &store;
  context.link = &link;
  context.language = &language;
  context.identification = id;
  const ReportData data =
      ReportContents::Collect(context, {folder, key}, QString::fromStdString(since));
  link.Disconnect();

  QString why;
  if (!WriteReportPdf(data, target.absoluteFilePath(), &why)) {
    err << "ecuctl: " << why.toStdString() << "\n";
    return kExitBadFile;
  }
  int refused = 0;
  for (const ReportChange& change : data.changes) refused += change.refused ? 1 : 0;
  out << "report written to " << o.out << ": " << (key.empty() ? "no vehicle card" : "car " + key)
      << ", " << data.changes.size() << " change(s) since " << since;
  if (refused > 0) out << " (" << refused << " refused)";
  out << "\n";
  return kExitOk;
}
