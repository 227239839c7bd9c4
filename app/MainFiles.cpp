// Opening and saving whole configurations as ".vst" files from the File menu,
// and opening a recorded log in the chart.
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "ConfCar.h"
#include "ConfigurationsFolder.h"
#include "FormMain.h"
#include "GlobalData.h"
#include "History.h"
#include "LoadConfiguration.h"
#include "MessageBoxes.h"
#include "ProcessObjects.h"
#include "ToolWindows.h"

namespace {
const char* const kFilter = "OXT Vestrane (*.vst)";
const char* const kExtension = "vst";

QFileDialog* MakeDialog(QWidget* parent, const char* name, QFileDialog::AcceptMode mode) {
  auto* dialog = new QFileDialog(parent);
  dialog->setObjectName(QLatin1String(name));
  dialog->setOption(QFileDialog::DontUseNativeDialog, true);
  dialog->setOption(QFileDialog::ReadOnly, false);
  dialog->setNameFilter(QLatin1String(kFilter));
  dialog->setDefaultSuffix(QLatin1String(kExtension));
  dialog->setAcceptMode(mode);
  dialog->setSizeGripEnabled(true);
  return dialog;
}


void ReportFileNameRefused(QWidget* parent) {
  MessageBoxes::ShowError(
      parent,
      QString::fromUtf8("Il percorso del file è troppo lungo.\nScegliere una cartella o un nome "
                        "più brevi."),
      parent->windowTitle());
}
}  // namespace

void TFormMain::BuildFileDialogs() {
  openDialog_ = MakeDialog(this, "OpenDialog1", QFileDialog::AcceptOpen);
  openDialog_->setFileMode(QFileDialog::ExistingFile);
  saveDialog_ = MakeDialog(this, "SaveDialog1", QFileDialog::AcceptSave);
  saveDialog_->setFileMode(QFileDialog::AnyFile);
  recordingDialog_ = new QFileDialog(this);
  recordingDialog_->setObjectName(QStringLiteral("OpenDialogRegistrazione"));
  recordingDialog_->setOption(QFileDialog::DontUseNativeDialog, true);
  recordingDialog_->setNameFilters({QStringLiteral("MLVLG (*.mlg)"), QStringLiteral("* (*)")});
  recordingDialog_->setAcceptMode(QFileDialog::AcceptOpen);
  recordingDialog_->setFileMode(QFileDialog::ExistingFile);
  recordingDialog_->setSizeGripEnabled(true);
  // Both dialogs start with no folder of their own.
  openDialog_->setProperty("InitialDir", QString());
  saveDialog_->setProperty("InitialDir", QString());
}

void TFormMain::PrepareDialogFolder(QFileDialog* dialog) {
  if (!dialog->property("InitialDir").toString().isEmpty()) return;
  QString folder;
  if (Process().settings == nullptr ||
      !Process().settings->GetPath(GlobalData::kConfigurationsFolder, folder)) {
    return;
  }
  // The same folder the file windows use, with the same fallback when the
  // program's own folder cannot be written.
  folder = UsableConfigurationsFolder(folder);
  if (folder.isEmpty()) return;
  dialog->setProperty("InitialDir", folder);
  dialog->setDirectory(folder);
}

void TFormMain::OpenConfiguration() {
  PrepareDialogFolder(openDialog_);
  if (openDialog_->exec() != QDialog::Accepted || openDialog_->selectedFiles().isEmpty()) return;
  const QString path = openDialog_->selectedFiles().first();
  ConfCar* store = Process().store;
  if (store == nullptr) return;
  switch (LoadConfigurationFile(*store, path, this)) {
    case LoadOutcome::Loaded:
      SetStatusPanel(kPanelFile, QFileInfo(path).fileName());
      break;
    case LoadOutcome::NameTooLong:
      ReportFileNameRefused(this);
      break;
    case LoadOutcome::Unreadable:
      MessageBoxes::ShowError(
          this,
          QString::fromUtf8("Impossibile leggere il file\n%1").arg(QDir::toNativeSeparators(path)),
          windowTitle());
      break;
  }
}

void TFormMain::SaveConfiguration() {
  PrepareDialogFolder(saveDialog_);
  if (saveDialog_->exec() != QDialog::Accepted || saveDialog_->selectedFiles().isEmpty()) return;
  const QString path = saveDialog_->selectedFiles().first();
  ConfCar* store = Process().store;
  if (store == nullptr) return;
  if (!store->SetFileName(StoreFileName(path))) {
    ReportFileNameRefused(this);
    return;
  }
  SetStatusPanel(kPanelFile, QFileInfo(path).fileName());
  if (!store->SaveFile()) {
    MessageBoxes::ShowError(
        this,
        QString::fromUtf8("Impossibile scrivere il file\n%1").arg(QDir::toNativeSeparators(path)),
        windowTitle());
  }
}

void TFormMain::OpenRecordingFile() {
  // The recordings sit beside the history of the ECUs, one folder per ECU.
  const QString logs =
      QFile::decodeName((history::DefaultFolder().parent_path() / "Logs").c_str());
  if (recordingDialog_->directory().path() == QDir::currentPath() && QDir(logs).exists())
    recordingDialog_->setDirectory(logs);
  if (recordingDialog_->exec() != QDialog::Accepted || recordingDialog_->selectedFiles().isEmpty())
    return;
  ToolWindows::OpenRecording(*this, recordingDialog_->selectedFiles().first());
}
