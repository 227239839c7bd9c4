// Every message box of the program goes through here: errors with OK, risky
// questions with Yes/No (No is the default) and notices. A test can take the
// boxes over with ScopedMessageBoxCapture: it then sees each box's text, title
// and icon and answers it without any modal loop.
#pragma once

#include <QList>
#include <QString>
#include <memory>

class QMessageBox;
class QWidget;

enum class BoxIcon { Error, Warning, Information };
enum class BoxButtons { Ok, YesNo };
enum class BoxAnswer { Ok, Yes, No };

struct BoxRequest {
  QString text;
  QString title;
  BoxIcon icon = BoxIcon::Error;
  BoxButtons buttons = BoxButtons::Ok;
  QString detail;  // a second paragraph under the text; none when empty
};

namespace MessageBoxes {

// Error icon, OK button; detail, when not empty, as a second paragraph.
void ShowError(QWidget* parent, const QString& text, const QString& title,
               const QString& detail = QString());
// Information icon, OK button.
void ShowInformation(QWidget* parent, const QString& text, const QString& title);
// Yes and No, No the default; true when the user answered Yes.
bool AskYesNo(QWidget* parent, const QString& text, const QString& title,
              BoxIcon icon = BoxIcon::Warning);
// The general form the three above use.
BoxAnswer Show(QWidget* parent, const BoxRequest& request);
// The box Show puts on screen, not yet shown: wide enough for its whole
// title (a short text under a long window title would have it cut).
std::unique_ptr<QMessageBox> MakeBox(QWidget* parent, const BoxRequest& request);

}  // namespace MessageBoxes

// While one exists, boxes are recorded instead of shown. Each box takes the
// next queued answer; with none queued a Yes/No box is answered No (its
// default) and an OK box OK.
class ScopedMessageBoxCapture {
 public:
  ScopedMessageBoxCapture();
  ~ScopedMessageBoxCapture();
  ScopedMessageBoxCapture(const ScopedMessageBoxCapture&) = delete;
  ScopedMessageBoxCapture& operator=(const ScopedMessageBoxCapture&) = delete;

  void QueueAnswer(BoxAnswer answer) { answers_.append(answer); }
  const QList<BoxRequest>& Requests() const { return requests_; }
  bool Empty() const { return requests_.isEmpty(); }
  // The most recent box; an empty request when there was none.
  BoxRequest Last() const { return requests_.isEmpty() ? BoxRequest{} : requests_.last(); }
  void Clear() { requests_.clear(); }

 private:
  friend BoxAnswer MessageBoxes::Show(QWidget*, const BoxRequest&);
  BoxAnswer Answer(const BoxRequest& request);

  QList<BoxRequest> requests_;
  QList<BoxAnswer> answers_;
  ScopedMessageBoxCapture* previous_ = nullptr;
};
