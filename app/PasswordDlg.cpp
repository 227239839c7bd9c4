#include "PasswordDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kMaxAdditions = 20;
constexpr int kCodeLength = 3;

// The prefix, scrambled: never kept in plain form in the program.
constexpr std::uint8_t kScrambledPrefix[] = {79, 9, 252, 217, 32, 28, 9, 243, 7, 148};

}  // namespace

TPasswordDlg::TPasswordDlg(QWidget* parent) : QDialog(parent, Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("PasswordDlg"));
  setWindowTitle(QStringLiteral("Password Dialog"));
  setFixedSize(233, 93);

  Label1 = new QLabel(QStringLiteral("Enter password:"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->move(8, 9);

  Password = new QLineEdit(this);
  Password->setObjectName(QStringLiteral("Password"));
  Password->setGeometry(8, 27, 217, 21);
  Password->setEchoMode(QLineEdit::Password);
  Password->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // "*"

  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setGeometry(79, 59, 75, 25);
  OKBtn->setDefault(true);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
}

QByteArray UnscrambleCumulative(std::span<const std::uint8_t> stored) {
  QByteArray out;
  if (stored.empty()) return out;
  std::uint8_t current = stored[0];
  for (std::size_t k = 0; current != 0 && static_cast<int>(k) < kMaxAdditions; ++k) {
    out.append(static_cast<char>(current));
    if (k + 1 >= stored.size()) return out;  // a sequence without its end
    current = static_cast<std::uint8_t>(stored[k + 1] + current);
  }
  return out;
}

std::optional<int> CustomerCodeIn(const QString& typed, const QByteArray& prefix) {
  const QByteArray text = typed.toLatin1();
  if (typed.size() != prefix.size() + kCodeLength || !text.startsWith(prefix)) return std::nullopt;
  int code = 0;
  for (const char c : text.right(kCodeLength)) {
    if (c < '0' || c > '9') return std::nullopt;
    code = code * 10 + (c - '0');
  }
  return code;
}

QByteArray CustomerCodePrefix() {
  return UnscrambleCumulative(kScrambledPrefix);
}
