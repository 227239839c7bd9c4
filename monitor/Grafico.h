// TFormGrafico: the strip chart window. Live, it draws the samples it is
// given (by the live view, which keeps the one poll of the ECU) or polls the
// ECU itself when opened from the main window; with a recording, it shows
// the whole log and a play bar that replays it through the live view's
// dashboard (play, pause, 1x/4x/16x, drag to a time), without the ECU.
// Beside the chart, the channel list chooses what is drawn and reads out
// each channel's value at the cursor.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "ChartData.h"
#include "EcuChannels.h"
#include "FormContext.h"
#include "LivePoller.h"
#include "LiveTick.h"
#include "LogReader.h"
#include "RecordingChart.h"
#include "ReplayClock.h"

class QComboBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;
class QTreeWidget;
class TFormVisualizza;
class TModuloLingua;

namespace monitor {
class StripChart;
}

class TFormGrafico : public QDialog {
  Q_OBJECT

 public:
  // Replay speeds offered by the play bar.
  static constexpr int kSpeeds[] = {1, 4, 16};

  // context.store must be set; the link is used only by StartPolling.
  explicit TFormGrafico(const FormContext& context, QWidget* parent = nullptr);
  ~TFormGrafico() override;

  // Live: one sample as the live view took it.
  void AppendSample(const monitor::LiveSample& sample);
  // Live from a poll of its own, ten times a second (no live view open).
  void StartPolling();
  bool Polling() const;

  // A recording from a file: shown whole, with the play bar. false, after
  // saying why, when the file cannot be read.
  bool OpenRecording(const QString& path);
  // A recording already read (name is shown in the title).
  void ShowRecording(logging::Log recording, const QString& name);
  bool Replaying() const { return replaying_; }
  // The recording shown (empty while live) and the file it came from (empty
  // when it was not read from a file).
  const logging::Log& Recording() const { return log_; }
  const QString& RecordingPath() const { return recordingPath_; }

  // Places a command of another tool in the bottom row, before Esci: a tool
  // that works on the chart's recording, opened from the chart.
  void AddCommand(QPushButton* button);

  // The play bar's commands.
  void Play();
  void Pause();
  void SetSpeed(int speed);
  void SeekTo(double time);
  // Moves the replay on by wallSeconds of real time and shows where it got
  // to in the live view (the play timer's work).
  void ReplayStep(double wallSeconds);
  const monitor::ReplayClock& Clock() const { return clock_; }
  // The dashboard a replay plays through; null until the first Play.
  TFormVisualizza* ReplayView() const { return replayView_; }

  const monitor::ChartData& Data() const { return data_; }
  // The shown name of each channel.
  QString CaptionOf(std::size_t channel) const;
  // The read-out of a channel at the cursor, or live with no cursor placed
  // at the newest sample ("-" without a value there).
  QString ReadOut(std::size_t channel) const;

  monitor::StripChart* Grafico;
  QTreeWidget* ListaCanali;
  QLabel* LabelCursore;
  QLabel* LabelTastiGrafico;
  QWidget* PannelloRiproduzione;
  QPushButton* ButtonRiproduci;
  QLabel* LabelVelocita;
  QComboBox* ComboVelocita;
  QSlider* SliderTempo;
  QLabel* LabelTempo;
  QPushButton* ButtonEsci;

 signals:
  // The technician asked for a marker (M) while live.
  void MarkerRequested();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildPlayBar();
  void LoadTexts(TModuloLingua* language);
  void NameChannels();
  void FillChannelList();
  void ChannelChecked();
  void RefreshReadOut();
  std::optional<double> ReadOutTime() const;
  void RefreshPlayBar();
  void ShowReplayPosition();
  void OpenReplayView();
  void PlaceReplayView();

  FormContext context_;
  QHBoxLayout* commands_ = nullptr;
  // Live: the channels and the values shown so far, as the recorder keeps them.
  monitor::ChartColumns liveColumns_;
  monitor::ChartData data_;
  logging::EcuRecord record_;
  std::vector<float> row_;
  std::unique_ptr<monitor::LivePoller> poller_;
  QTimer* pollTimer_ = nullptr;
  int markers_ = 0;
  // Replay.
  bool replaying_ = false;
  QString recordingName_;
  QString recordingPath_;
  logging::Log log_;
  monitor::ReplayClock clock_;
  QTimer* playTimer_ = nullptr;
  QElapsedTimer wall_;
  qint64 lastStep_ = 0;  // wall_ at the last replay step, ns
  QPointer<TFormVisualizza> replayView_;
  std::optional<std::size_t> lastReplayed_;
  // Texts (Italian until the dictionary gives them).
  QString title_ = QStringLiteral("Grafico dei parametri");
  QString play_ = QStringLiteral("&Riproduci");
  QString pause_ = QStringLiteral("&Pausa");
  QString cursor_ = QStringLiteral("Cursore:");
  QString unreadable_ = QStringLiteral("Impossibile aprire la registrazione:");
  QString notReplayable_ =
      QStringLiteral("La registrazione non contiene i giri motore: non si può riprodurre.");
  QString marker_ = QStringLiteral("Segno");
  std::vector<QString> captions_;      // per channel of the data
  std::vector<QString> liveCaptions_;  // per live channel
};
