#include "gui/app/edit_history.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QUndoCommand>
#include <QUndoStack>

namespace pellam {

namespace {

constexpr int kStepLimit = 200;
constexpr int kMergeId = 1;
// While a dialog or a transfer holds the window, the comparison waits.
constexpr int kRetryMs = 50;

} // namespace

// One change of the state: done when recorded, so the first redo (run by
// the stack's push) does nothing.
class ImageStep : public QUndoCommand {
public:
    ImageStep(EditHistory& history, const QString& name, EditorSnapshot before,
              EditorSnapshot after, bool pageSwitch)
        : QUndoCommand(name)
        , m_history(history)
        , m_before(std::move(before))
        , m_after(std::move(after))
        , m_pageSwitch(pageSwitch) {}

    int id() const override { return kMergeId; }

    // What a page switch writes (block-1 edits a page held, checksums after
    // an edit) belongs to the step just before it, when nothing came between.
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const ImageStep*>(other);
        if (!next->m_pageSwitch || !(m_after == next->m_before))
            return false;
        m_after = next->m_after;
        return true;
    }

    void undo() override { m_history.apply(m_before); }
    void redo() override {
        if (m_done)
            m_history.apply(m_after);
        m_done = true;
    }

private:
    EditHistory& m_history;
    EditorSnapshot m_before;
    EditorSnapshot m_after;
    bool m_pageSwitch;
    bool m_done = false;
};

EditHistory::EditHistory(EditorSession& session, Hooks hooks, QObject* parent)
    : QObject(parent)
    , m_session(session)
    , m_hooks(std::move(hooks))
    , m_stack(new QUndoStack(this))
    , m_baseline(session.snapshot()) {
    m_stack->setUndoLimit(kStepLimit);
    qApp->installEventFilter(this);
}

void EditHistory::record(const QString& name, bool pageSwitch) {
    if (m_applying)
        return;
    EditorSnapshot now = m_session.snapshot();
    if (now == m_baseline)
        return;
    EditorSnapshot before = std::move(m_baseline);
    m_baseline = now;
    m_stack->push(new ImageStep(*this, name, std::move(before), std::move(now), pageSwitch));
    emit stateChanged();
}

void EditHistory::resetBaseline() {
    m_baseline = m_session.snapshot();
}

void EditHistory::undo() {
    record(m_hooks.describe());
    m_stack->undo();
}

void EditHistory::redo() {
    record(m_hooks.describe());
    m_stack->redo();
}

void EditHistory::apply(const EditorSnapshot& state) {
    m_applying = true;
    m_hooks.restore(state);
    m_applying = false;
    // The window may write pending block-1 edits while it shows the state:
    // history stands where the window left it.
    m_baseline = m_session.snapshot();
    emit stateChanged();
}

bool EditHistory::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyRelease:
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel:
    case QEvent::Drop:
        checkSoon();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void EditHistory::checkSoon() {
    if (m_checkPending)
        return;
    m_checkPending = true;
    QTimer::singleShot(0, this, &EditHistory::check);
}

void EditHistory::check() {
    if (m_applying || QApplication::activeModalWidget() || (m_hooks.busy && m_hooks.busy())) {
        QTimer::singleShot(kRetryMs, this, &EditHistory::check);
        return;
    }
    m_checkPending = false;
    record(m_hooks.describe());
}

} // namespace pellam
