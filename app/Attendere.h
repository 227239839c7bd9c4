// The two windows that ask the user to wait: TFormAttesa, the progress window
// shown while the whole configuration is read from the ECU (it follows the
// progress events the full read sends to the active window), and
// TFormAttendere, the banner shown at start-up in demo mode. Neither can
// interrupt anything: the user only watches.
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

class TFormAttesa : public QWidget {
  Q_OBJECT

 public:
  explicit TFormAttesa(QWidget* owner = nullptr);

  // The word shown after the percentage.
  void SetCompletionText(const QString& text) { completion_ = text; }
  // The caption, the message line (cut with its whole text as tooltip when
  // the line is too short for it) and the completion word.
  void SetTexts(const QString& caption, const QString& message, const QString& completion);
  // Shows the window, makes it the active one and paints it at once, so it is
  // on screen before a synchronous read starts.
  void ShowAndPaint();

  QLabel* Label1;
  QProgressBar* ProgressBar1;
  QLabel* Label2;
  QLabel* Animate1;
  QPushButton* Button1;

 protected:
  bool event(QEvent* event) override;

 private:
  QString completion_;
};

class TFormAttendere : public QWidget {
  Q_OBJECT

 public:
  explicit TFormAttendere(QWidget* owner = nullptr);

  // Shows the banner and paints it at once.
  void ShowAndPaint();

  QLabel* LabelAttendere;
};

// Shows a window and paints it at once, after waiting (at most half a second)
// for the window system to put it on screen.
void ShowAndPaintNow(QWidget* window);
// After an owned window closed: makes its owner the active window at once,
// as the desktop does when an owned window goes away, so the main window has
// the keyboard as soon as start-up ends. (Connection news that finds no
// active window meanwhile is handed to the main window by the relay.)
void HandActivationBack(QWidget* owner);
// Places a window in the middle of the screen its owner is on.
void CentreOnScreen(QWidget* window, const QWidget* owner);
