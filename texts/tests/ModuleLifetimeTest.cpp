// The main window hands the language module to the application object, so
// the module (and its language menu) is destroyed only after QApplication has
// gone. The program must end cleanly in that order, after the menu was shown.
// A plain program: the application object has to end before main returns.
#include <QApplication>
#include <QMenu>
#include <QTemporaryDir>

#include "FixtureTable.h"
#include "ModuloLingua.h"

int main(int argc, char** argv) {
  QTemporaryDir dir;
  if (!WriteFixtureTable(dir.filePath("DizionarioVnt.dbf"), {"IDENTIF", "ITALIANO", "ENGLISH"},
                         {{"MenuLingua", "&Italiano", "&English"}})) {
    return 1;
  }
  {
    QApplication app(argc, argv);
    auto* owned = new TModuloLingua(&app);
    if (!owned->Open(dir.path(), "DizionarioVnt.dbf") || owned->LanguageCount() != 2) return 1;
    owned->SelectLanguage(1);
    owned->PopupMenuLingue()->popup(QPoint(0, 0));

    // A module released before the application ends takes its menu with it.
    auto* released = new TModuloLingua(&app);
    if (!released->Open(dir.path(), "DizionarioVnt.dbf")) return 1;
    delete released;
  }
  // A second application in the same process gets working menus again.
  QApplication again(argc, argv);
  TModuloLingua lingua;
  return lingua.Open(dir.path(), "DizionarioVnt.dbf") && lingua.LanguageCount() == 2 ? 0 : 1;
}
