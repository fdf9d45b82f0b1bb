#include "gui/ui/committed_edit.h"

#include <QApplication>
#include <QLineEdit>
#include <QVariant>

namespace pellam {

namespace {

const char* const kOwnToolTip = "pellamOwnToolTip";
const char* const kProblem = "pellamProblem";

} // namespace

void markProblem(QLineEdit* edit, const QString& reason) {
    const bool marked = edit->property(kProblem).toBool();
    if (reason.isEmpty()) {
        if (!marked)
            return;
        edit->setStyleSheet(QString());
        edit->setToolTip(edit->property(kOwnToolTip).toString());
        edit->setProperty(kProblem, false);
        return;
    }
    if (!marked)
        edit->setProperty(kOwnToolTip, edit->toolTip());
    edit->setProperty(kProblem, true);
    edit->setStyleSheet(QStringLiteral("QLineEdit { border: 2px solid #d02020; }"));
    edit->setToolTip(reason);
}

void commitWhenFinished(QLineEdit* edit, QObject* context, std::function<void()> commit,
                        std::function<QString(const QString&)> check) {
    QObject::connect(edit, &QLineEdit::editingFinished, context, [edit, commit] {
        // Text set by the program, or already taken: nothing to do.
        if (!edit->isModified())
            return;
        edit->setModified(false);
        markProblem(edit, QString());
        commit();
    });
    if (check)
        QObject::connect(edit, &QLineEdit::textEdited, context,
                         [edit, check](const QString& text) { markProblem(edit, check(text)); });
    // Text the program sets is the stored value again: no mark.
    QObject::connect(edit, &QLineEdit::textChanged, context, [edit] {
        if (!edit->isModified())
            markProblem(edit, QString());
    });
}

void finishEditing(QWidget* window) {
    QWidget* focused = QApplication::focusWidget();
    auto* edit = qobject_cast<QLineEdit*>(focused);
    if (edit && window->isAncestorOf(edit) && edit->isModified())
        emit edit->editingFinished();
}

} // namespace pellam
