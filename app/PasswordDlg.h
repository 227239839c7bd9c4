// TPasswordDlg: the borderless box where an authorised person types the
// customer code behind its prefix. It says nothing about what it expects.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <optional>
#include <span>

class QLabel;
class QLineEdit;
class QPushButton;

class TPasswordDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TPasswordDlg(QWidget* parent = nullptr);

  QLabel* Label1;
  QLineEdit* Password;
  QPushButton* OKBtn;
};

// Rebuilds a string kept as its first character followed by the differences
// between consecutive characters (mod 256); the difference that brings the
// running sum to 0 ends it. At most 20 additions, so at most 20 characters.
QByteArray UnscrambleCumulative(std::span<const std::uint8_t> stored);

// The customer code in a typed text: the three digits after the prefix, when
// the text is exactly the prefix (case-sensitive) followed by three digits.
std::optional<int> CustomerCodeIn(const QString& typed, const QByteArray& prefix);

// The prefix of this program, rebuilt from its scrambled form on each call.
QByteArray CustomerCodePrefix();
