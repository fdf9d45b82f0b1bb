#pragma once

#include <QIcon>
#include <QPixmap>

namespace pellam {

// The program's picture: a display with a hex grid on its screen.
QPixmap appPicture(int size);
QIcon appIcon();

} // namespace pellam
