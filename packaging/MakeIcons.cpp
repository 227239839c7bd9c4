// Writes the program's icon into an icon theme folder:
// <folder>/<size>x<size>/apps/<name>.png for every size, and, when the build
// has Qt's SVG module, <folder>/scalable/apps/<name>.svg. Run by the build.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>

#include "AppIcon.h"

#ifdef HAVE_QT_SVG
#include <QSvgGenerator>
#endif

namespace {
bool WriteInto(const QDir& theme, const QString& subfolder, const QString& file,
               const auto& write) {
  const QString folder = theme.filePath(subfolder);
  const QString path = QDir(folder).filePath(file);
  if (!QDir().mkpath(folder) || !write(path)) {
    std::fprintf(stderr, "MakeIcons: cannot write %s\n", qPrintable(path));
    return false;
  }
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() != 3) {
    std::fprintf(stderr, "usage: MakeIcons <theme folder> <icon name>\n");
    return 2;
  }
  const QDir theme(args.at(1));
  const QString& name = args.at(2);
  for (const int side : kAppIconSizes) {
    const QString size = QStringLiteral("%1x%1/apps").arg(side);
    if (!WriteInto(theme, size, name + QStringLiteral(".png"), [side](const QString& path) {
          return AppIconImage(side).save(path, "PNG");
        })) {
      return 1;
    }
  }
#ifdef HAVE_QT_SVG
  if (!WriteInto(theme, QStringLiteral("scalable/apps"), name + QStringLiteral(".svg"),
                 [](const QString& path) {
                   constexpr int kSide = 256;
                   QSvgGenerator svg;
                   svg.setFileName(path);
                   svg.setSize(QSize(kSide, kSide));
                   svg.setViewBox(QRect(0, 0, kSide, kSide));
                   svg.setTitle(QStringLiteral("Mirel Vantor"));
                   PaintAppIcon(svg, kSide);
                   return QFileInfo(path).size() > 0;
                 })) {
    return 1;
  }
#endif
  return 0;
}
