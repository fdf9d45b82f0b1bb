// Line edits whose text is taken when the edit is finished (Enter, or the
// focus leaving the edit: another control, another page, a save, a
// transfer), never on each key: a value the user is still typing is never
// stored. While the user types, an optional check marks text that would be
// refused with a red frame and the reason as the edit's tool tip; the message
// box of a refusal comes once, when the edit is finished.
#pragma once

#include <functional>

#include <QString>

class QLineEdit;
class QObject;
class QWidget;

namespace pellam {

// commit runs once per finished edit whose text the user changed; check
// returns the reason the text would be refused, or an empty string.
void commitWhenFinished(QLineEdit* edit, QObject* context, std::function<void()> commit,
                        std::function<QString(const QString&)> check = {});

// Marks the edit as holding text that would be refused (a red frame, the
// reason as tool tip), or clears the mark for an empty reason; the edit's own
// tool tip comes back then.
void markProblem(QLineEdit* edit, const QString& reason);

// Ends the editing under way in the window (the focused line edit takes its
// text as when the focus leaves it), before a page switch, a save, a transfer
// or an undo acts on the image.
void finishEditing(QWidget* window);

} // namespace pellam
