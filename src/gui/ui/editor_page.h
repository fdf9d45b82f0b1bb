// A tab page of the main window. The page switch calls decodePage() each time
// the page is shown; the page fills its controls from the image or the
// collection there. Before another page is shown, leavePage() lets the page
// write what it holds back only when its editors are left (a focus leaving
// a group may not happen when the user clicks another tab).
#pragma once

#include <QWidget>

namespace pellam {

class EditorPage : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    virtual void decodePage() {}
    virtual void leavePage() {}
    // Writes what the page holds back while it stays on view (before a
    // save, a load or an undo).
    virtual void commitPending() {}
};

} // namespace pellam
