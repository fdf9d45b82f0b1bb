#include "app/main_window.h"

namespace pellam {

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Pellam v1.4"));
    setFixedSize(753, 522);
    move(100, 50);
}

} // namespace pellam
