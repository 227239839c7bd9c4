#include "Scaling.h"

#include <QFont>
#include <QGuiApplication>
#include <QLayout>
#include <QList>
#include <QPair>
#include <QRect>
#include <QScreen>
#include <QSize>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {
int screenWidthOverride = 0;
int screenHeightOverride = 0;

int Scaled(int value, double factor) {
  return static_cast<int>(std::lround(value * factor));
}

QFont ScaledFont(QFont font, double factor) {
  if (font.pixelSize() > 0) {
    font.setPixelSize(std::max(1, Scaled(font.pixelSize(), factor)));
  } else if (font.pointSizeF() > 0) {
    font.setPointSizeF(font.pointSizeF() * factor);
  }
  return font;
}

// A widget whose geometry a layout owns keeps it.
bool PlacedByHand(const QWidget* widget) {
  const QWidget* parent = widget->parentWidget();
  return parent != nullptr && parent->layout() == nullptr && !widget->isWindow();
}
}  // namespace

int ScreenWidth() {
  if (screenWidthOverride > 0) return screenWidthOverride;
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->geometry().width() : kDesignScreenWidth;
}

void OverrideScreenWidth(int width, int height) {
  screenWidthOverride = width > 0 ? width : 0;
  screenHeightOverride = screenWidthOverride == 0 ? 0 : height > 0 ? height : width * 3 / 4;
}

int ScreenHeight() {
  if (screenHeightOverride > 0) return screenHeightOverride;
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry().height() : kDesignScreenWidth * 3 / 4;
}

QRect ScreenArea() {
  if (screenWidthOverride > 0) return QRect(0, 0, ScreenWidth(), ScreenHeight());
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry()
                           : QRect(0, 0, kDesignScreenWidth, kDesignScreenWidth * 3 / 4);
}

double ScreenScaleFactor() {
  const double byWidth = static_cast<double>(ScreenWidth()) / kDesignScreenWidth;
  int height = screenHeightOverride;
  if (height <= 0) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return byWidth;
    height = screen->geometry().height();
  }
  // On a screen of 4:3 the two agree; on a wider one (1366 x 768, 1920 x
  // 1080) the width alone would push the lower part of a window designed
  // for 800 x 600 below the screen's edge.
  return std::min(byWidth, static_cast<double>(height) / kDesignScreenHeight);
}

void ScaleWidgetTree(QWidget* window, double factor) {
  if (window == nullptr || factor <= 0.0) return;
  const QList<QWidget*> children = window->findChildren<QWidget*>();

  // Every new font is worked out before any is set, so that a font inherited
  // from a parent already scaled is not scaled twice.
  QList<QPair<QWidget*, QFont>> fonts;
  fonts.append({window, ScaledFont(window->font(), factor)});
  for (QWidget* child : children) {
    if (child->isWindow()) continue;
    if (child->testAttribute(Qt::WA_SetFont))
      fonts.append({child, ScaledFont(child->font(), factor)});
  }
  for (const auto& [widget, font] : fonts) widget->setFont(font);

  for (QWidget* child : children) {
    if (!PlacedByHand(child)) continue;
    const QRect r = child->geometry();
    child->setGeometry(Scaled(r.x(), factor), Scaled(r.y(), factor), Scaled(r.width(), factor),
                       Scaled(r.height(), factor));
  }
  if (window->isMaximized() || window->isFullScreen()) return;
  const QSize size(Scaled(window->width(), factor), Scaled(window->height(), factor));
  // A window of fixed size keeps its size against resize(): its fixed size
  // is scaled instead, or its scaled controls would stand past its edges.
  if (window->minimumSize() == window->maximumSize())
    window->setFixedSize(size);
  else
    window->resize(size);
}

double FittingScale(const QSize& size, const QRect& area) {
  if (size.width() <= 0 || size.height() <= 0) return ScreenScaleFactor();
  const double across =
      static_cast<double>(area.width() - kFrameAllowance.width()) / size.width();
  const double down =
      static_cast<double>(area.height() - kFrameAllowance.height()) / size.height();
  return std::min(across, down);
}

bool ScaleToScreen(QWidget* window) {
  double factor = ScreenScaleFactor();
  if (factor == 1.0) return false;
  // A dialog of fixed size grows with the screen's width as every window
  // does, but no further than the screen shows it whole: on a screen wide
  // but not tall (1366 x 768) its buttons would stand below the screen.
  if (window->minimumSize() == window->maximumSize())
    factor = std::min(factor, FittingScale(window->size(), ScreenArea()));
  ScaleWidgetTree(window, factor);
  return true;
}
