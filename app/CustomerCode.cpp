#include "CustomerCode.h"

#include <QLineEdit>

#include "ConfCar.h"
#include "FormMain.h"
#include "PasswordDlg.h"
#include "ProcessObjects.h"

// Nothing is ever said here: a wrong prefix, a wrong length, a code that is
// not a number and a failed write all end the command without a word.
namespace CustomerCode {
void Enter(TFormMain& main) {
  QString typed;
  {
    TPasswordDlg dialog(&main);
    dialog.exec();  // whichever way it ends, the text is used
    typed = dialog.Password->text();
  }
  const std::optional<int> code = CustomerCodeIn(typed, CustomerCodePrefix());
  if (code && Process().store != nullptr) Process().store->SetValue(params::Id::CustomerCode, *code);
}
}  // namespace CustomerCode
