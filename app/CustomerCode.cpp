#include "CustomerCode.h"

#include "FormMain.h"
#include "MessageBoxes.h"

// The customer code window is still to come; until then the command says so.
namespace CustomerCode {
void Enter(TFormMain& main) {
  MessageBoxes::ShowInformation(&main, QString::fromUtf8("Funzione non ancora disponibile."),
                                QStringLiteral("Cliente"));
}
}  // namespace CustomerCode
