// One of the main window's large entries: a caption that reacts to the mouse.
// Pointing at it makes it current; clicking it runs its command.
#pragma once

#include <QLabel>

class MainMenuEntry : public QLabel {
  Q_OBJECT

 public:
  MainMenuEntry(const QString& name, const QString& caption, int index, QWidget* parent);

  int Tag() const { return tag_; }
  // Current: underlined and yellow; otherwise the window colour, no underline.
  void SetHighlighted(bool on);
  void SetCaption(const QString& caption);

 signals:
  void Pointed(int index);
  void Clicked(int index);

 protected:
  void enterEvent(QEnterEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int tag_;
};

// The fonts of the main window's title and entries.
QFont MainEntryFont();
