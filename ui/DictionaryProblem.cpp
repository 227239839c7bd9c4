#include "DictionaryProblem.h"

#include <QString>

#include "ApplicationInfo.h"
#include "MessageBoxes.h"

namespace ui {

void ShowDictionaryProblem(QWidget* parent, int code) {
  MessageBoxes::ShowError(
      parent, QStringLiteral("Problemi col database multilingua (Codice %1).").arg(code),
      ApplicationTitle());
}

}  // namespace ui
