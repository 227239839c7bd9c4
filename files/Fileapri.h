// TFormApriFile: the list of configuration files in the configurations folder,
// to choose the one to load.
#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

class TFormApriFile : public QDialog {
  Q_OBJECT

 public:
  explicit TFormApriFile(QWidget* parent = nullptr);

  // Lists the files of folder whose extension is "dmr" (in any case), by name;
  // returns how many there are.
  int ListFolder(const QString& folder);
  // Full path of the selected file; empty when none is selected.
  QString SelectedPath() const;

  QListWidget* FileListBox;
  QPushButton* ButtonEsci;
  QPushButton* ButtonCarica;

 private:
  QString folder_;
};
