#include "Fileapri.h"

#include <QDir>
#include <QListWidget>
#include <QPushButton>

namespace {
constexpr int kItemHeight = 20;
}

TFormApriFile::TFormApriFile(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormApriFile"));
  setWindowTitle(QStringLiteral("Carica la configurazione da un file"));
  setFixedSize(536, 348);

  FileListBox = new QListWidget(this);
  FileListBox->setObjectName(QStringLiteral("FileListBox"));
  FileListBox->setGeometry(51, 24, 433, 217);
  FileListBox->setUniformItemSizes(true);

  ButtonCarica = new QPushButton(QStringLiteral("&Carica"), this);
  ButtonCarica->setObjectName(QStringLiteral("ButtonCarica"));
  ButtonCarica->setGeometry(96, 272, 150, 41);
  ButtonCarica->setDefault(true);

  ButtonEsci = new QPushButton(QStringLiteral("&Esci"), this);
  ButtonEsci->setObjectName(QStringLiteral("ButtonEsci"));
  ButtonEsci->setGeometry(290, 272, 150, 41);

  connect(ButtonCarica, &QPushButton::clicked, this, &QDialog::accept);
  connect(ButtonEsci, &QPushButton::clicked, this, &QDialog::reject);
  connect(FileListBox, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

int TFormApriFile::ListFolder(const QString& folder) {
  folder_ = folder;
  FileListBox->clear();
  // The extension matches in any case, as it does on the workshop's Windows
  // machines where these files come from.
  const QStringList names =
      QDir(folder).entryList({QStringLiteral("*.[dD][mM][rR]")}, QDir::Files | QDir::Hidden,
                             QDir::Name | QDir::IgnoreCase);
  for (const QString& name : names) {
    auto* item = new QListWidgetItem(name, FileListBox);
    item->setSizeHint(QSize(0, kItemHeight));
  }
  if (FileListBox->count() > 0) FileListBox->setCurrentRow(0);
  return FileListBox->count();
}

QString TFormApriFile::SelectedPath() const {
  const QListWidgetItem* item = FileListBox->currentItem();
  return item == nullptr ? QString() : QDir(folder_).filePath(item->text());
}
