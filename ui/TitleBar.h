// The room a window's title takes in its title bar: the title in the bold
// title-bar face, with the window icon and the minimise, maximise and close
// buttons beside it. Windows and message boxes are made at least this wide
// so no title is cut; the texts-fit check measures with it too.
#pragma once

class QString;

// Room a title bar takes besides the title.
constexpr int kTitleBarDecorationWidth = 110;

int TitleBarWidth(const QString& title);
