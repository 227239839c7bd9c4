// Fuzz target: the dictionary table read, as the program reads it: the
// shapelib wrapper (open, index by the key column, cell lookups) and the
// language module (the language menu from the columns and the lookups of the
// windows), on whatever bytes the table file holds. Nothing may crash, hang
// or read outside the file; a lookup never gives more than its maximum
// length; the rows counted are rows the file really holds.
#include <QApplication>
#include <QDir>
#include <QAction>
#include <QMenu>
#include <cstdlib>

#include "DbfTable.h"
#include "FuzzSupport.h"
#include "ModuloLingua.h"

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "dictionary_table";
  static char* argv[] = {name, nullptr};
  static QApplication* application = new QApplication(argc, argv);
  (void)application;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = fuzz::ScratchFile("DizionarioVnt.dbf");
  fuzz::WriteFile(path, data, size);
  const QString file = QString::fromStdString(path);

  DbfTable table;
  if (table.Open(file)) {
    FUZZ_CHECK(table.RowCount() >= 0 && static_cast<std::size_t>(table.RowCount()) <= size,
               "no more rows than the file holds");
    table.IndexBy(QStringLiteral("IDENTIF"));
    for (const QString& field : table.FieldNames()) {
      table.Cell(QStringLiteral("MenuLingua"), field);
      table.Cell(QStringLiteral("FinestraPrincipale"), field);
    }
    table.Cell(QStringLiteral("MenuLingua"), QStringLiteral("NOFIELD"));
  }

  TModuloLingua module;
  const QString folder = QString::fromStdString(fuzz::ScratchFolder().string());
  if (module.Open(folder, QStringLiteral("DizionarioVnt.dbf"))) {
    const QStringList languages = module.LanguageFields();
    FUZZ_CHECK(languages.size() == module.LanguageCount(), "one menu item per language");
    for (const QAction* item : module.PopupMenuLingue()->actions())
      FUZZ_CHECK(item->text().size() <= 12, "a language name is cut to 12 characters");
    for (int i = 0; i < languages.size() && i < 8; ++i) {
      module.SetSelectedColumn(languages[i]);
      module.Activate();
      for (const char* key : {"FinestraPrincipale", "MessErrConn", "MenuLingua", "ButtonEsci"}) {
        const auto text = module.Text(QString::fromLatin1(key), 20);
        FUZZ_CHECK(!text || text->size() <= 20, "a text is cut to its maximum");
      }
      module.Deactivate();
      const auto none = module.LookUp(QStringLiteral("MenuLingua"), languages[i], 0);
      FUZZ_CHECK(!none || none->isEmpty(), "a maximum of 0 gives no text");
    }
  }
  return 0;
}
