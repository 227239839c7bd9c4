// Whether a window's keyboard accelerators (the letter after "&") are
// unique where they compete: among the entries of each of its menus, and
// among the buttons, buddied labels, group boxes and page tabs visible in
// it at once. Each clash comes back as one line naming the letter and the
// texts that share it.
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

class QWidget;

// The accelerator of a caption, lower case; a null QChar when it has none
// ("&&" is a plain "&").
QChar AcceleratorOf(const QString& caption);

QStringList AcceleratorClashes(const QWidget* window);
