// The small helpers every page builds its controls with: controls carry the
// editor's established names as their objectName, texts cross between Qt
// and the core as UTF-8, and check lists show bits.
#pragma once

#include <string>
#include <utility>

#include <QString>

class QCheckBox;
class QGroupBox;
class QHBoxLayout;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QWidget;

namespace pellam {

// Gives a control its name and returns it.
template <typename Widget>
Widget* named(Widget* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}
template <typename Widget>
Widget* named(Widget* widget, const char* name) {
    return named(widget, QString::fromLatin1(name));
}
// Creates a control from the arguments and names it.
template <typename Widget, typename... Args>
Widget* createNamed(const char* name, Args&&... args) {
    return named(new Widget(std::forward<Args>(args)...), name);
}

// Core texts are UTF-8.
QString qs(const std::string& text);
std::string textOf(const QLineEdit* edit);
// Like the edits of the original layout: setting the text an edit already
// holds raises no change.
void setEditText(QLineEdit* edit, const QString& text);
// An edit's number when it holds digits only; 0 otherwise.
int numberOf(const QLineEdit* edit);

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption);
QGroupBox* groupBox(QWidget* parent, const char* name, const QString& caption);
// A one-line edit of fixed width; maxLength 0 leaves the length free.
QLineEdit* lineEdit(QWidget* parent, const char* name, int maxLength, int width);
QPushButton* button(QWidget* parent, const char* name, const QString& caption);
// A labelled edit: its caption on the left.
QHBoxLayout* labelled(QWidget* parent, const QString& caption, QLineEdit* edit);

// An item with a check box.
QListWidgetItem* checkItem(const QString& text, bool checked);
// The 16 items prefix0 .. prefix15 of a bit list, item i checked when bit i is set.
void fillBitList(QListWidget* list, const QString& prefix, int bits);
int checkedBits(const QListWidget* list);
// One item at a time may be selected.
QListWidget* singleSelection(QListWidget* list);

} // namespace pellam
