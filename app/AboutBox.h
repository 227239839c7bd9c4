// TAboutBox: the program title, the program version and the ECU's version
// ("DEMO" in demo mode).
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  static constexpr const char* kProgramVersion = "3.0";

  explicit TAboutBox(QWidget* parent = nullptr);

  // Fills the box: title is the main window's caption, versionPrefix and
  // cpuVersionPrefix the dictionary texts; in demo mode the ECU line reads
  // "DEMO", otherwise the prefix and the identification's version number.
  void Fill(const QString& title, const QString& versionPrefix, const QString& cpuVersionPrefix,
            bool demo, int cpuVersion);

  // Creates, fills and shows the box for the main window, then destroys it.
  static void Run(QWidget* mainWindow);

  QFrame* Panel1 = nullptr;
  QLabel* ImageAbout = nullptr;
  QLabel* ProductName = nullptr;
  QLabel* Version = nullptr;
  QLabel* LabelVersioneCpu = nullptr;
  QLabel* Copyright = nullptr;
  QPushButton* OKButton = nullptr;
};
