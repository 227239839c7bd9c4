// TFormVisualizza: the live dashboard. Draws ten times a second and
// shows the lambda voltage and bar, the TPS voltage, zone and minimum, the
// engine speed dial, the gas temperature, level and fuel in use, and the gas
// actuator inside its working windows. Reads only; writes nothing to the ECU.
// When it is given a logs folder, the whole session is recorded there as an
// .mlg log (the writes made meanwhile and the M key become markers), and the
// view says so at its foot. The session may be recorded faster than the view
// draws (the recording rate): one poller then feeds the recording every poll
// and the view, at its own rhythm, the newest values.
#pragma once

#include <QColor>
#include <QDialog>
#include <QList>
#include <QSize>
#include <QString>
#include <memory>

#include "FormContext.h"
#include "LivePoller.h"
#include "LiveTick.h"

class ConfCar;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QTimer;
class TModuloLingua;

namespace logging {
class SessionRecorder;
class WriteMarkers;
}  // namespace logging

namespace monitor {
class ActuatorTrackBar;
class ColourCell;
class EngineSpeedDial;
}  // namespace monitor

class TFormVisualizza : public QDialog {
  Q_OBJECT

 public:
  // context.store must be set; without a link the view stays at its last values.
  explicit TFormVisualizza(const FormContext& context, QWidget* parent = nullptr);
  ~TFormVisualizza() override;

  // One poll of the ECU and the display it leads to (the timer's work at
  // ten polls a second).
  void Tick();
  // One poll of the ECU: recorded and handed on, its values kept for the
  // next drawing (the poll timer's work at a faster recording rate).
  monitor::LiveSample Poll();
  // Draws the values of the polls since the last drawing, if any.
  void ShowNewest();
  // Polls a second the session is recorded at (0: as fast as the line
  // allows); chosen in ComboFrequenza, kept in the settings.
  int RecordingRate() const { return rate_; }
  void SetRecordingRate(int rate);
  // The strip chart over this window, fed with this window's samples (G).
  void OpenChart();
  // Shows a sample taken elsewhere (a recording, a second poller).
  void ShowSample(const monitor::LiveSample& sample);
  // No more polls at any rate, and no recording rate offered: the view only
  // shows what it is handed (a replay's dashboard).
  void StopPolling();
  const monitor::LiveDisplay& Display() const { return display_; }
  const monitor::LiveSnapshot& Snapshot() const { return snapshot_; }
  // The session's recording; null when the view records nothing.
  const logging::SessionRecorder* Recorder() const { return recorder_.get(); }
  // A marker set by hand in the recording (the M key): "mark 1", "mark 2" ...
  void MarkByHand();

  // The window's size as designed, for a screen 800 pixels wide.
  static QSize DesignSize() { return QSize(798, 570); }
  // The view's size over its design size: the screen's scale, or the one
  // set by ShowAtScale.
  double Scale() const { return scale_; }
  // Draws the whole view at scale times its design size, as a window of
  // that size rather than maximised (a replay's dashboard beside its chart).
  void ShowAtScale(double scale);

  // Group frames and their contents, by their design names.
  QFrame* Bevel1;
  QLabel* LabelVisLambda;
  QLabel* StaticTextLambda;
  QFrame* PanelLambda;
  QFrame* BevelTps;
  QLabel* LabelVisTps;
  QLabel* StaticTextTps;
  QFrame* PanelTps;
  QLabel* LabelVisMinTps;
  QLabel* StaticTextMinTps;
  QLabel* LabelVisCutoff;
  QFrame* BevelGiri;
  QLabel* LabelVisGiri;
  monitor::EngineSpeedDial* Dial;
  QList<QLabel*> LabelRifGiri;  // "0" .. "6"
  QLabel* LabelVisContaGiri;
  QLabel* StaticTextGiri;
  QFrame* Bevel2;
  QLabel* LabelVisAltri;
  QLabel* LabelVisTemp;
  QLabel* StaticTextTemp;
  QFrame* Bevel3;
  QLabel* LabelVisLivello;
  QLabel* StaticTextLivello;
  QFrame* Bevel4;
  QLabel* LabelVisFunz;
  QLabel* LabelComm;
  QFrame* BevelAttuatori;
  QLabel* LabelVisAtt;
  monitor::ColourCell* ShapeFMin;
  monitor::ColourCell* ShapeMin;
  monitor::ActuatorTrackBar* TrackBarMax;
  QLabel* LabelDef;
  QLabel* LabelVisDef2;
  QLabel* LabelVisDefault;
  QLabel* StaticTextDef;
  QLabel* LabelVisPos;
  QLabel* StaticTextMot;
  QLabel* LabelSup;
  QLabel* StaticTextSup;
  QLabel* LabelInf;
  QLabel* StaticTextInf;
  QPushButton* ButtonEsci;
  QLabel* LabelRegistra;  // what is being recorded, or why it stopped
  QLabel* LabelFrequenza;  // caption of the recording rate
  QComboBox* ComboFrequenza;  // the recording rate: 10, 20, 50 Hz, as fast as the line allows
  QTimer* Timer1;    // the drawing rhythm (and the polls at ten a second)
  QTimer* PollTimer;  // the polls at a faster recording rate
  QList<monitor::ColourCell*> LambdaCells;  // Shape1 .. Shape10
  QList<monitor::ColourCell*> TpsCells;     // Shape11 .. Shape14

  // The form's colour, which an unlit cell takes.
  static QColor FormColour();
  // Colours of the TPS zones (0-3) and of the lambda states (4-7).
  static QColor TableColour(int index);

 signals:
  // Every sample this window's poll takes, as it is taken.
  void SampleTaken(const monitor::LiveSample& sample);
  // The technician set a marker by hand (M in the chart opened over this
  // window); the session's recording takes it.
  void MarkerRequested();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildLambdaGroup();
  void BuildTpsGroup();
  void BuildSpeedGroup();
  void BuildOtherGroup();
  void BuildActuatorGroup();
  void HideOtherControls();
  void PlaceDial();
  void LoadTexts(TModuloLingua* lingua);
  void Render();
  void RenderSlow();
  QString Volts(int centivolts) const;
  void StartRecording();
  void ShowRecording();
  void BuildRateControl();
  void FillRates();
  void ApplyRate();
  void OnTimer1();
  void OnPollTimer();

  FormContext context_;
  monitor::LiveSnapshot snapshot_;
  monitor::LivePoller poller_;
  monitor::LiveDisplay display_;
  int rate_ = live::kShownRate;
  double scale_ = 1;
  monitor::LiveSample newest_;  // the polls not drawn yet, as one
  bool newestPending_ = false;
  std::unique_ptr<logging::SessionRecorder> recorder_;
  std::unique_ptr<logging::WriteMarkers> writeMarkers_;
  int handMarks_ = 0;
  QString recordingFailure_;  // why the recording stopped, once it has
  // Texts kept from the dictionary for later use.
  QString petrol_;
  QString gas_;
  QString notAvailable_;
  QString voltUnit_;
  QString rpmUnit_;
  QString recordingText_;
  QString marksText_;
  QString recordingStopped_;
  QString fastestRate_ = QStringLiteral("Massima");
  QString fastestRateHint_;
};
