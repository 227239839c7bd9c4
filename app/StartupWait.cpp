#include "StartupWait.h"

#include <QWidget>

#include "FormMain.h"

// The wait banner and the progress window are still to come; until then
// start-up shows no wait window.
namespace StartupWait {

QWidget* CreateWindow(TFormMain& /*main*/, bool /*demo*/) {
  return nullptr;
}

void CloseWindow(QWidget* window) {
  if (window == nullptr) return;
  window->close();
  delete window;
}

}  // namespace StartupWait
