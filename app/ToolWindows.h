// Where the main window opens each tool window. Each tool window is created
// for one opening, shown modally and destroyed when it closes.
#pragma once

class QString;
class QWidget;
class TFormGrafico;
class TFormMain;

namespace ToolWindows {

// TFormVisualizza, the live parameter view, placed at (0, 0) over the main
// window, or over another tool window (F12 in the configuration windows).
void OpenLiveView(TFormMain& main);
void OpenLiveView(QWidget* over);
// TFormVettura with Tag 1; true when the ECU's parameter memory was erased
// while it was open.
bool OpenVehicleConfiguration(TFormMain& main);
// TFormConfOpt with Tag = 256 + page; returns the page active when it closed.
int OpenOptionalConfiguration(TFormMain& main, int tag);
// TFormConfSw with Tag = 256 + page; returns the page active when it closed.
int OpenSoftwareConfiguration(TFormMain& main, int tag);
// TFormDiagnosi.
void OpenDiagnosis(TFormMain& main);
// TFormIndicatore.
void OpenOriginalIndicator(TFormMain& main);
// TFormFile; true when it ended with OK (a configuration was loaded or saved).
bool OpenFileManagement(TFormMain& main);
// TFormConfronta, comparing configurations (the File menu).
void OpenCompare(TFormMain& main);
// TFormSchedaVettura, the vehicle cards of the connected ECU (the File menu).
void OpenVehicleCards(TFormMain& main);
// TFormRapporto, the handover report of this session (the File menu).
void OpenReport(TFormMain& main);
// TFormOfficina, the workshop's own details (the File menu).
void OpenWorkshop(TFormMain& main);
// TFormVerifica, the gas calibration check (the Tools menu).
void OpenCalibrationCheck(TFormMain& main);
// Every chart the main window opens is shown through here: the place to add
// commands of other tools that work on the chart's recording
// (TFormGrafico::AddCommand, TFormGrafico::Recording/RecordingPath).
void ShowChart(TFormGrafico& chart);
// TFormGrafico, the strip chart, polling the ECU itself (the Tools menu).
void OpenChart(TFormMain& main);
// TFormGrafico showing a recorded log with its play bar (the File menu);
// nothing opens when the file cannot be read (the chart says why).
void OpenRecording(TFormMain& main, const QString& path);

}  // namespace ToolWindows
