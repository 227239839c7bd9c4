// Measures the strip chart window on an hour of every channel at 50 samples a
// second (180,000 records), offscreen: opening the log file into the window,
// a redraw after a pan or a zoom, appending a live sample, the resident
// memory with that hour open, and a replay at 16x through the live view
// (whether the replay keeps up with the wall clock).
//
//   chart_bench [--keep FILE.mlg]   (--keep leaves the generated log there)
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "ConfCar.h"
#include "EcuChannels.h"
#include "FormContext.h"
#include "Grafico.h"
#include "LogWriter.h"
#include "ModuloLingua.h"
#include "StripChart.h"
#include "Visualizza.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRate = 50;
constexpr int kSeconds = 3600;
constexpr int kRecords = kRate * kSeconds;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const auto i = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
  return values[i];
}

void PrintSpread(const char* what, const std::vector<double>& ms) {
  std::printf("  %-34s median %7.3f ms   p95 %7.3f ms   worst %7.3f ms   (%zu)\n", what,
              Percentile(ms, 0.5), Percentile(ms, 0.95), Percentile(ms, 1.0), ms.size());
}

// Resident and peak resident memory of this process, in MiB.
std::pair<double, double> MemoryMiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  double rss = 0;
  double peak = 0;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) rss = std::stod(line.substr(6)) / 1024;
    if (line.rfind("VmHWM:", 0) == 0) peak = std::stod(line.substr(6)) / 1024;
  }
  return {rss, peak};
}

// An hour of a car driven about: every channel moves, the fuel changes over
// now and then, with a marker every minute.
void WriteHour(const std::string& path) {
  logging::LogWriter writer;
  if (!writer.Open(path, 1765360800, logging::EcuChannels(), "chart bench")) {
    std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), writer.Error().c_str());
    std::exit(1);
  }
  std::array<double, logging::kEcuChannelCount> values;
  for (int i = 0; i < kRecords; ++i) {
    const double t = static_cast<double>(i) / kRate;
    logging::EcuRecord r;
    r.time = t;
    r.rpm = static_cast<int>(800 + 2500 * (0.5 + 0.5 * std::sin(t / 17)) + (i * 37) % 90);
    r.lambdaCentivolts = (i / 23) % 2 == 0 ? 10 + i % 7 : 80 + i % 5;
    r.tpsCentivolts = static_cast<int>(60 + 300 * (0.5 + 0.5 * std::sin(t / 11)));
    r.tpsZone = (r.tpsCentivolts / 100) % 4;
    r.lambdaStatus = (i / 400) % 4;
    r.actuator = static_cast<int>(std::lround(120 + 40 * std::sin(t / 6)));
    r.defaultPosition = 118;
    r.minTpsCentivolts = 55;
    r.temperature = t < 30 ? live::kNoTemperature : 20 + static_cast<int>(t / 120);
    r.gasLevel = 4 - static_cast<int>(t / 900);
    r.onGas = static_cast<int>(t / 300) % 2 == 1;
    r.cutOff = r.rpm > 3200;
    r.upperLimit = r.actuator > 155;
    r.lowerLimit = r.actuator < 85;
    logging::ValuesOf(r, values);
    writer.AppendRecord(t, values);
    if (i % (kRate * 60) == 0) writer.AppendMarker(t, "minute " + std::to_string(i / kRate / 60));
  }
  writer.Close();
  if (writer.Failed()) {
    std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), writer.Error().c_str());
    std::exit(1);
  }
}

// One redraw of the chart as the screen would get it.
double RedrawMs(monitor::StripChart* chart, QImage& image) {
  const auto start = Clock::now();
  chart->render(&image);
  return Ms(Clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  QTemporaryDir folder;
  std::string path = QDir(folder.path()).filePath(QStringLiteral("hour.mlg")).toStdString();
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--keep") == 0) path = argv[i + 1];

  const auto written = Clock::now();
  WriteHour(path);
  std::printf("chart_bench: %d records (%d s at %d Hz), %zu channels, %.1f MiB file, written in "
              "%.0f ms\n",
              kRecords, kSeconds, kRate, logging::kEcuChannelCount,
              static_cast<double>(QFile(QString::fromStdString(path)).size()) / (1024.0 * 1024.0),
              Ms(Clock::now() - written));
  const auto [rssBefore, peakBefore] = MemoryMiB();

  // The windows' texts from the dictionary beside the program, as installed.
  TModuloLingua lingua;
  if (!lingua.Open(QCoreApplication::applicationDirPath(), QStringLiteral("DizionarioVnt.dbf"))) {
    std::fprintf(stderr, "no dictionary beside the program\n");
    return 1;
  }
  lingua.SetSelectedColumn(QStringLiteral("ITALIANO"));
  ConfCar store("bench.dmr");
  FormContext context;
  context.store = &store;
  context.language = &lingua;
  TFormGrafico window(context);
  window.setWindowState(Qt::WindowNoState);
  window.resize(1024, 768);
  window.show();
  QApplication::processEvents();

  // Opening: reading the file and building the chart's columns, as the File
  // menu's command does, then the first picture.
  const auto opening = Clock::now();
  if (!window.OpenRecording(QString::fromStdString(path))) return 1;
  const double openMs = Ms(Clock::now() - opening);
  QImage image(window.Grafico->size(), QImage::Format_ARGB32_Premultiplied);
  const double firstDrawMs = RedrawMs(window.Grafico, image);
  const auto [rssOpen, peakOpen] = MemoryMiB();
  std::printf("\nOpening the file: %.0f ms (goal 1000), first picture of the whole hour %.1f ms\n",
              openMs, firstDrawMs);
  std::printf("Chart %dx%d, %zu traces\n", window.Grafico->width(), window.Grafico->height(),
              window.Grafico->VisibleChannels().size());

  // Redraws: the whole hour, zoomed step by step into a second and out
  // again, and pans across the hour at three zoom levels.
  monitor::StripChart* chart = window.Grafico;
  std::vector<double> zooms;
  std::vector<double> pans;
  for (int round = 0; round < 3; ++round) {
    chart->ShowAll();
    const double anchor = 1234.5 + 600 * round;
    for (int i = 0; i < 40; ++i) {
      chart->ZoomBy(0.8, anchor);
      zooms.push_back(RedrawMs(chart, image));
    }
    for (int i = 0; i < 40; ++i) {
      chart->ZoomBy(1.25, anchor);
      zooms.push_back(RedrawMs(chart, image));
    }
  }
  for (double span : {3600.0, 600.0, 10.0}) {
    chart->SetView(0, span);
    for (int i = 0; i < 60; ++i) {
      chart->PanBy(span * 0.1 + 13.7);
      if (chart->ViewStart() + span >= kSeconds - 1) chart->SetView(0, span);
      pans.push_back(RedrawMs(chart, image));
    }
  }
  std::printf("\nRedraw (goal: median 16 ms)\n");
  PrintSpread("after a zoom", zooms);
  PrintSpread("after a pan", pans);
  std::vector<double> both = zooms;
  both.insert(both.end(), pans.begin(), pans.end());
  PrintSpread("all", both);

  // Live: a fresh window following the newest sample with an hour behind
  // it; each sample appended, and separately the redraw it leads to.
  TFormGrafico live(context);
  live.setWindowState(Qt::WindowNoState);
  live.resize(1024, 768);
  live.show();
  QApplication::processEvents();
  monitor::LiveSample sample;
  sample.connected = true;
  sample.fastRead = true;
  sample.slowRead = true;
  std::vector<double> appends;
  std::vector<double> liveDraws;
  QImage liveImage(live.Grafico->size(), QImage::Format_ARGB32_Premultiplied);
  for (int i = 0; i < kRecords + 2000; ++i) {
    sample.time = static_cast<double>(i) / kRate;
    sample.fast[0] = static_cast<std::uint8_t>(60 + i % 150);
    sample.fast[1] = static_cast<std::uint8_t>(i % 100);
    sample.fast[5] = static_cast<std::uint8_t>(100 + i % 60);
    const bool measured = i >= kRecords;
    const auto start = Clock::now();
    live.AppendSample(sample);
    if (!measured) continue;
    appends.push_back(Ms(Clock::now() - start));
    if (i % 5 == 0) liveDraws.push_back(RedrawMs(live.Grafico, liveImage));
  }
  std::printf("\nLive, following the newest sample, %zu samples behind (goal: append 1 ms)\n",
              live.Data().Count());
  PrintSpread("appending a sample", appends);
  PrintSpread("redraw of the last minute", liveDraws);
  const auto [rssLive, peakLive] = MemoryMiB();

  std::printf("\nResident memory (goal 100 MB for the hour)\n");
  std::printf("  before any window                  %7.1f MiB (peak %.1f)\n", rssBefore, peakBefore);
  std::printf("  the hour open in the chart         %7.1f MiB (peak %.1f), +%.1f MiB\n", rssOpen,
              peakOpen, rssOpen - rssBefore);
  std::printf("  and a live hour in a second chart  %7.1f MiB (peak %.1f), +%.1f MiB\n", rssLive,
              peakLive, rssLive - rssOpen);

  // Replay at 16x through the live view, on the window's own play timer, for
  // ten seconds of wall time: where the replay stands against where the
  // wall clock says it should, and the time between two steps.
  window.SeekTo(600);
  window.SetSpeed(16);
  window.Play();
  constexpr double kWall = 10.0;
  QElapsedTimer wall;
  wall.start();
  std::vector<double> lags;
  std::vector<double> gaps;
  double lastPosition = window.Clock().Position();
  QElapsedTimer sinceStep;
  sinceStep.start();
  while (wall.elapsed() < kWall * 1000) {
    QApplication::processEvents(QEventLoop::AllEvents, 5);
    if (window.Clock().Position() != lastPosition) {
      lastPosition = window.Clock().Position();
      gaps.push_back(static_cast<double>(sinceStep.restart()));
      lags.push_back((600 + 16 * wall.elapsed() / 1000.0 - lastPosition) * 1000 / 16);
    }
    ::usleep(1000);
  }
  window.Pause();
  const double played = window.Clock().Position() - 600;
  std::printf("\nReplay at 16x through the live view, %.0f s of wall time\n", kWall);
  std::printf("  recording played                   %.1f s (%.2fx the wall time)\n", played,
              played / kWall);
  PrintSpread("time between two steps", gaps);
  PrintSpread("behind the wall clock (wall ms)", lags);
  if (lags.size() >= 4) {
    const std::size_t quarter = lags.size() / 4;
    const std::vector<double> first(lags.begin(), lags.begin() + static_cast<long>(quarter));
    const std::vector<double> last(lags.end() - static_cast<long>(quarter), lags.end());
    std::printf("  lag, first quarter median %.1f ms, last quarter median %.1f ms\n",
                Percentile(first, 0.5), Percentile(last, 0.5));
  }
  std::printf("  live view shows %d rpm at %.1f s\n", window.ReplayView()->Display().rpm,
              window.Clock().Position());
  return 0;
}
