// Measures recording "as fast as the line allows" against the virtual ECU
// with its bytes paced to 19200 baud, the engine running: records a second
// beside the wire's ceiling, the slow block's rhythm, processor time per
// record. Two runs of the same length:
//  - the live view (the real window, offscreen) at the fastest recording
//    rate, its log read back afterwards: the program's own path;
//  - the poller and the recorder in a plain loop: what is left without the
//    window and its event loop.
//
//   record_bench [seconds]      (default 20 seconds per run)
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "BenchSupport.h"
#include "ConfCar.h"
#include "FormContext.h"
#include "LivePolling.h"
#include "LogReader.h"
#include "MessageBoxes.h"
#include "Protocol.h"
#include "SessionRecorder.h"
#include "Visualizza.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBaud = 19200;

// One live poll on the wire: the request carries the block's kind, the reply
// the kind again and the block; 8N1 is ten bits a byte.
constexpr double kPollBytes = (wire::kOverhead + 1) + (wire::kOverhead + 1 + ecu::kLiveBlockSize);
constexpr double kPollMs = kPollBytes * 10 * 1000 / kBaud;

struct Run {
  const char* name = "";
  double seconds = 0;         // from the first record to the last
  std::size_t records = 0;
  std::vector<double> slowTimes;  // when each slow block arrived, s
  std::size_t polls = 0;
  double threadCpuMs = 0;     // the polling thread
  double processCpuMs = 0;    // the whole process, the virtual ECU's thread included
};

void Print(const Run& run) {
  const double fastCeiling = 1000 / kPollMs;
  // Every eleventh record also carries the slow block: twelve polls' wire
  // time for eleven records.
  const double slowCeiling = fastCeiling * (live::Poller::kSlowEvery + 1) /
                             (live::Poller::kSlowEvery + 2);
  const double rate = run.seconds > 0 ? (static_cast<double>(run.records) - 1) / run.seconds : 0;
  std::vector<double> gaps;
  for (std::size_t i = 1; i < run.slowTimes.size(); ++i)
    gaps.push_back(run.slowTimes[i] - run.slowTimes[i - 1]);
  std::printf("%s: %zu records in %.2f s\n", run.name, run.records, run.seconds);
  std::printf("  records a second                     %7.2f\n", rate);
  std::printf("  wire ceiling, fast block only        %7.2f  (%.0f bytes a poll, %.2f ms)  ratio %.3f\n",
              fastCeiling, kPollBytes, kPollMs, rate / fastCeiling);
  std::printf("  wire ceiling, slow block 1 in %2d     %7.2f  ratio %.3f\n",
              live::Poller::kSlowEvery + 1, slowCeiling, rate / slowCeiling);
  std::printf("  slow blocks %zu (%.2f a second), every %.0f polls; apart median %.3f s, max %.3f s\n",
              run.slowTimes.size(),
              run.seconds > 0 ? static_cast<double>(run.slowTimes.size()) / run.seconds : 0,
              run.slowTimes.empty() ? 0.0
                                    : static_cast<double>(run.polls) /
                                          static_cast<double>(run.slowTimes.size()),
              bench::Percentile(gaps, 0.5), bench::Percentile(gaps, 1.0));
  const double records = static_cast<double>(std::max<std::size_t>(run.records, 1));
  std::printf("  processor time per record: polling thread %.3f ms, whole process %.3f ms\n",
              run.threadCpuMs / records, run.processCpuMs / records);
}

// The live view at the fastest rate for the given time, recording into a
// temporary folder; the figures come from its log and its samples.
Run LiveView(ConfCar& store, ecu::EcuLink* link, double seconds) {
  Run run;
  run.name = "live view, as fast as the line allows";
  QTemporaryDir logs;
  FormContext context;
  context.store = &store;
  context.link = link;
  context.sessionLogFolder = logs.filePath(QStringLiteral("ecu-bench")).toStdString();
  std::filesystem::path file;
  {
    ScopedMessageBoxCapture boxes;  // no dictionary: the design texts stay
    TFormVisualizza window(context);
    window.show();
    const auto start = Clock::now();
    QObject::connect(&window, &TFormVisualizza::SampleTaken,
                     [&](const monitor::LiveSample& sample) {
                       ++run.polls;
                       if (sample.slowRead)
                         run.slowTimes.push_back(
                             std::chrono::duration<double>(Clock::now() - start).count());
                     });
    const double thread = bench::ThreadCpuMs();
    const double process = bench::ProcessCpuMs();
    window.SetRecordingRate(live::kAsFastAsTheLineAllows);
    QTimer::singleShot(static_cast<int>(seconds * 1000), qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    run.threadCpuMs = bench::ThreadCpuMs() - thread;
    run.processCpuMs = bench::ProcessCpuMs() - process;
    file = window.Recorder()->File();
  }
  const logging::ReadResult read = logging::ReadLog(file);
  if (!read.ok) {
    std::fprintf(stderr, "record_bench: %s\n", read.error.c_str());
    return run;
  }
  run.records = read.log.Records();
  if (run.records > 1) run.seconds = read.log.times.back() - read.log.times.front();
  return run;
}

// The poller and the recorder back to back, as ecuctl log --rate max does.
Run PlainLoop(ConfCar& store, ecu::EcuLink* link, double seconds) {
  Run run;
  run.name = "poller and recorder in a plain loop";
  QTemporaryDir logs;
  logging::SessionRecorder recorder;
  if (!recorder.Start(logs.filePath(QStringLiteral("bench.mlg")).toStdString(), 0, "bench")) {
    std::fprintf(stderr, "record_bench: %s\n", recorder.Error().c_str());
    return run;
  }
  live::Poller poller(link, &store);
  poller.SetSlowAtLeastEverySecond(true);
  const double thread = bench::ThreadCpuMs();
  const double process = bench::ProcessCpuMs();
  const auto start = Clock::now();
  double first = -1;
  double last = 0;
  while (Clock::now() - start < std::chrono::duration<double>(seconds)) {
    const live::Sample sample = poller.Poll();
    recorder.Take(sample);
    ++run.polls;
    if (sample.fastRead || sample.slowRead) {
      if (first < 0) first = sample.time;
      last = sample.time;
    }
    if (sample.slowRead) run.slowTimes.push_back(sample.time);
  }
  run.threadCpuMs = bench::ThreadCpuMs() - thread;
  run.processCpuMs = bench::ProcessCpuMs() - process;
  recorder.Stop();
  run.records = recorder.Records();
  run.seconds = first >= 0 ? last - first : 0;
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 && std::atof(argv[1]) > 0 ? std::atof(argv[1]) : 20;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  bench::PacedEcu ecu(kBaud);
  if (!ecu.Serving()) return 1;
  bench::LoadedLink loaded("record_bench");
  if (!loaded.Connected()) return 1;
  ConfCar store("bench.dmr", loaded.Link());
  store.ReadAll();  // the minimum TPS rule, as in the program

  std::printf("record_bench: recording as fast as the line allows, %d baud, engine running, "
              "%.0f s a run\n",
              kBaud, seconds);
  Print(LiveView(store, loaded.Link(), seconds));
  Print(PlainLoop(store, loaded.Link(), seconds));
  std::printf("  goal: records a second at least 0.95 of the fast block's wire ceiling\n");
  return 0;
}
