// A tab page of the main window. The page switch calls decodePage() each time
// the page is shown; the page fills its controls from the image or the
// collection there.
#pragma once

#include <QWidget>

namespace pellam {

class EditorPage : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    virtual void decodePage() {}
};

} // namespace pellam
