// Writes the language flags as <folder>/<FIELD>.bmp for each field named on the
// command line. Run by the build.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "FlagPainter.h"

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() < 3) {
    std::fprintf(stderr, "usage: MakeFlags <folder> <FIELD>...\n");
    return 2;
  }
  const QDir folder(args.at(1));
  if (!folder.mkpath(QStringLiteral("."))) {
    std::fprintf(stderr, "MakeFlags: cannot create %s\n", qPrintable(args.at(1)));
    return 1;
  }
  for (int i = 2; i < args.size(); ++i) {
    const QImage flag = PaintFlag(args.at(i));
    const QString path = folder.filePath(args.at(i) + QStringLiteral(".bmp"));
    if (flag.isNull() || !flag.save(path, "BMP")) {
      std::fprintf(stderr, "MakeFlags: cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}
