// TFormAttesa: the progress window shown while the whole configuration is read
// from the ECU. It follows the progress events the full read sends to the
// active window; the user only watches.
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
