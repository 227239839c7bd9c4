#include "LogCommands.h"

#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <thread>

#include "Companion.h"
#include "ConfCar.h"
#include "CsvExport.h"
#include "HistoryCommands.h"
#include "LivePolling.h"
#include "LogReader.h"
#include "SessionRecorder.h"

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) { interrupted = 1; }

struct Options {
  std::vector<std::string> operands;
  int rate = 10;  // polls a second; 0: as fast as the line allows
  int seconds = 0;  // 0: until interrupted
};

int Usage(std::ostream& err, const std::string& why) {
  err << "ecuctl: " << why << " (ecuctl help shows the commands)\n";
  return kExitUsage;
}

bool ParseWhole(const std::string& text, int* value) {
  const char* end = text.data() + text.size();
  const auto r = std::from_chars(text.data(), end, *value);
  return r.ec == std::errc() && r.ptr == end;
}

bool Parse(const std::vector<std::string>& args, Options* o, std::string* error) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--rate" || a == "--seconds") {
      if (i + 1 >= args.size()) {
        *error = a + " needs a value";
        return false;
      }
      const std::string& v = args[++i];
      if (a == "--rate") {
        if (v == "max") {
          o->rate = 0;
        } else if (!ParseWhole(v, &o->rate) || o->rate < 1 || o->rate > 1000) {
          *error = "--rate takes 1..1000 polls a second, or max";
          return false;
        }
      } else if (!ParseWhole(v, &o->seconds) || o->seconds < 1) {
        *error = "--seconds needs a whole number of at least 1";
        return false;
      }
    } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
      *error = "unknown option " + a;
      return false;
    } else {
      o->operands.push_back(a);
    }
  }
  return true;
}

std::string Fixed(double value, int digits) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", digits, value);
  return text;
}

const char* TypeName(logging::ValueType type) {
  static const char* const names[] = {"U08", "S08", "U16", "S16", "U32", "S32", "S64", "F32"};
  return names[static_cast<int>(type)];
}

std::string LocalTime(std::uint32_t unixSeconds) {
  const std::time_t t = unixSeconds;
  std::tm local{};
  localtime_r(&t, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

int Record(const Options& o, ecu::EcuLink& link, std::ostream& out, std::ostream& err) {
  const std::string& file = o.operands[0];
  ecu::Identification id;
  if (const int connected = ConnectAndIdentify(link, &id, err); connected != kExitOk) {
    link.Disconnect();
    return connected;
  }
  // The store gives the minimum TPS rule, as for the live view.
  ConfCar store("ecuctl.dmr", &link);
  store.SetVariantFlag(id.variant == 2);
  store.ReadAll();
  if (link.IsConnected() == 0) {
    link.Disconnect();
    err << "ecuctl: the ECU stopped answering\n";
    return kExitLinkLost;
  }

  logging::SessionRecorder recorder;
  const std::string rateText = o.rate == 0 ? "as fast as the line allows"
                                           : std::to_string(o.rate) + " Hz";
  const std::string info = "ECU type " + std::to_string(id.typeCode) + " variant " +
                           std::to_string(id.variant) + " version " + std::to_string(id.version) +
                           "; recorded by ecuctl; rate " + rateText;
  const auto started = std::chrono::system_clock::now();
  if (!recorder.Start(file, static_cast<std::uint32_t>(std::chrono::system_clock::to_time_t(started)),
                      info)) {
    link.Disconnect();
    err << "ecuctl: " << file << ": " << recorder.Error() << "\n";
    return kExitBadFile;
  }

  interrupted = 0;
  struct sigaction action {};
  struct sigaction previous {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &previous);
  sigaction(SIGTERM, &action, nullptr);

  live::Poller poller(&link, &store);
  poller.SetSlowAtLeastEverySecond(o.rate != 10);
  const auto period = std::chrono::duration<double>(o.rate == 0 ? 0.0 : 1.0 / o.rate);
  const auto begin = std::chrono::steady_clock::now();
  const auto end = begin + std::chrono::seconds(o.seconds);
  auto next = begin;
  std::uint64_t slowBlocks = 0;
  bool lost = false;
  while (!interrupted && (o.seconds == 0 || std::chrono::steady_clock::now() < end)) {
    const live::Sample sample = poller.Poll();
    recorder.Take(sample);
    if (sample.slowRead) ++slowBlocks;
    if (!sample.connected) {
      lost = true;
      break;
    }
    if (recorder.Failed()) break;
    next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(period);
    const auto now = std::chrono::steady_clock::now();
    if (next > now) std::this_thread::sleep_until(next);
    else next = now;
  }
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  recorder.Stop();
  sigaction(SIGINT, &previous, nullptr);
  signal(SIGTERM, SIG_DFL);
  link.Disconnect();

  out << recorder.Records() << " records written to " << file << " in " << Fixed(elapsed, 1)
      << " s: " << Fixed(elapsed > 0 ? static_cast<double>(recorder.Records()) / elapsed : 0, 1)
      << " records/s (asked: " << rateText << "), " << slowBlocks << " slow blocks, "
      << recorder.Markers() << " markers\n";
  if (recorder.Failed()) {
    err << "ecuctl: " << file << ": " << recorder.Error() << "; the log holds what came before\n";
    return kExitBadFile;
  }
  if (lost) {
    err << "ecuctl: the ECU stopped answering; the log holds what came before\n";
    return kExitLinkLost;
  }
  return kExitOk;
}

int Info(const Options& o, std::ostream& out, std::ostream& err) {
  const logging::ReadResult read = logging::ReadLog(o.operands[0]);
  if (!read.ok) {
    err << "ecuctl: " << o.operands[0] << ": " << read.error << "\n";
    return kExitBadFile;
  }
  const logging::Log& log = read.log;
  out << "file " << o.operands[0] << "\nstarted " << LocalTime(log.startTime) << "\ninfo "
      << log.info << "\nrecords " << log.Records() << "\nduration " << Fixed(log.Duration(), 3)
      << " s\nchannels " << log.channels.size() << "\n";
  for (const logging::Channel& c : log.channels) {
    out << "  " << c.name << " [" << (c.units.empty() ? "-" : c.units) << "] " << TypeName(c.type)
        << " scale " << c.scale << "\n";
  }
  out << "markers " << log.markers.size() << "\n";
  for (const logging::Marker& m : log.markers) out << "  " << Fixed(m.time, 3) << " s " << m.text << "\n";
  if (!log.stoppedEarly.empty()) out << "read up to: " << log.stoppedEarly << "\n";
  return kExitOk;
}

int Csv(const Options& o, std::ostream& out, std::ostream& err) {
  const logging::ReadResult read = logging::ReadLog(o.operands[0]);
  if (!read.ok) {
    err << "ecuctl: " << o.operands[0] << ": " << read.error << "\n";
    return kExitBadFile;
  }
  if (!read.log.stoppedEarly.empty())
    err << "ecuctl: " << o.operands[0] << ": read up to: " << read.log.stoppedEarly << "\n";
  if (o.operands.size() == 1) {
    logging::WriteCsv(read.log, out);
    return kExitOk;
  }
  std::string error;
  if (!logging::ExportCsv(read.log, o.operands[1], &error)) {
    err << "ecuctl: " << error << "\n";
    return kExitBadFile;
  }
  out << read.log.Records() << " records and " << read.log.markers.size() << " markers written to "
      << o.operands[1] << "\n";
  return kExitOk;
}

}  // namespace

bool IsLogCommand(const std::string& name) {
  return name == "log" || name == "log-info" || name == "log-csv";
}

const char* LogUsage() {
  return "  log [--rate HZ|max] [--seconds N] FILE.mlg\n"
         "                             record the live values into FILE.mlg until Ctrl-C\n"
         "                             or N seconds (default 10 polls a second)\n"
         "  log-info FILE.mlg          channels, duration, records and markers of a log\n"
         "  log-csv FILE.mlg [OUT.csv] a log as CSV, to OUT.csv or the standard output\n";
}

int RunLogCommand(const std::vector<std::string>& args, ecu::EcuLink& link, std::ostream& out,
                  std::ostream& err) {
  Options o;
  std::string error;
  if (!Parse(args, &o, &error)) return Usage(err, error);
  const std::string& name = args[0];
  const bool recordOptions = o.rate != 10 || o.seconds != 0;
  if (name != "log" && recordOptions) return Usage(err, "--rate and --seconds are for log");
  const std::size_t least = 1, most = name == "log-csv" ? 2 : 1;
  if (o.operands.size() < least || o.operands.size() > most)
    return Usage(err, "wrong number of operands for " + name);
  if (name == "log") return Record(o, link, out, err);
  if (name == "log-info") return Info(o, out, err);
  return Csv(o, out, err);
}
