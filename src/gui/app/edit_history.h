// Undo and redo for every change of the image. Each change the user makes is
// found by comparing the session with the state history last stood at: after
// each key, click or wheel turn (once the event loop is idle again and no
// dialog or transfer is running), and where the window records a command by
// its name. One step holds the states before and after; undo and redo put a
// state back through the window, which then shows it.
#pragma once

#include "core/session/editor_session.h"

#include <functional>

#include <QObject>
#include <QString>

class QUndoStack;

namespace pellam {

class EditHistory : public QObject {
    Q_OBJECT

public:
    struct Hooks {
        // Puts the state back into the session and shows it.
        std::function<void(const EditorSnapshot&)> restore;
        // True while the state must not be compared (a transfer runs).
        std::function<bool()> busy;
        // The name of a step found after an input event.
        std::function<QString()> describe;
    };
    EditHistory(EditorSession& session, Hooks hooks, QObject* parent);

    QUndoStack* stack() const { return m_stack; }

    // Records what changed since the last step as one step with this name;
    // nothing when nothing changed. A page-switch step (block-1 edits a page
    // held written into the image, the checksums after an edit) joins the
    // step just before it, so that one undo takes back an edit and what its
    // writing did.
    void record(const QString& name, bool pageSwitch = false);
    // The state now is where history stands, without a step (start-up).
    void resetBaseline();
    // Records what is pending, then steps back or forward.
    void undo();
    void redo();

signals:
    // After a step was recorded, undone or redone.
    void stateChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class ImageStep;
    void apply(const EditorSnapshot& state);
    void checkSoon();
    void check();

    EditorSession& m_session;
    Hooks m_hooks;
    QUndoStack* m_stack;
    EditorSnapshot m_baseline;
    bool m_applying = false;
    bool m_checkPending = false;
};

} // namespace pellam
