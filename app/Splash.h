// TFormSplash: the product picture and one flag button per language of the
// dictionary. A flag click chooses that language, Enter keeps the stored one,
// and any other way of closing chooses the first.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QToolBar;
class QToolButton;
class TModuloLingua;

class TFormSplash : public QDialog {
  Q_OBJECT

 public:
  // The Tag after Enter.
  static constexpr int kKeepStoredLanguage = -1;
  // Image index of a button whose flag file could not be loaded.
  static constexpr int kNoImage = -2;

  explicit TFormSplash(QWidget* parent = nullptr);

  // Shows the splash picture and sizes the window, the language bar and the
  // prompt to it.
  void LoadPicture();
  // One button per language, in menu order: named field + index, hint the
  // language name without accelerator, Tag the index, image the flag file
  // <mainFolder>/immagini/<field>.bmp when it can be read.
  QToolButton* AddLanguageButton(const QString& field, const QString& displayName, int index,
                                 const QString& mainFolder);
  // The prompt in the language stored from the last run; any failure keeps the
  // built-in prompt.
  void SetPrompt(const TModuloLingua& language, int storedIndex);

  // The language index of the pressed button, -1 after Enter, 0 otherwise.
  int Tag() const { return tag_; }

  QLabel* ImageSplash = nullptr;
  QToolBar* ToolBarLingue = nullptr;
  QLabel* LabelAvvio = nullptr;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  int tag_ = 0;
  int imageCount_ = 0;
};
