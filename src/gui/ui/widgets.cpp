#include "gui/ui/widgets.h"

#include "core/edid/bits.h"
#include "core/edid/decimal.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace pellam {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

std::string textOf(const QLineEdit* edit) {
    return edit->text().toStdString();
}

void setEditText(QLineEdit* edit, const QString& text) {
    if (edit->text() != text)
        edit->setText(text);
}

int numberOf(const QLineEdit* edit) {
    return digitsValue(textOf(edit)).value_or(0);
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption) {
    return named(new QCheckBox(caption, parent), name);
}

QGroupBox* groupBox(QWidget* parent, const char* name, const QString& caption) {
    return named(new QGroupBox(caption, parent), name);
}

QLineEdit* lineEdit(QWidget* parent, const char* name, int maxLength, int width) {
    auto* edit = named(new QLineEdit(parent), name);
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    edit->setFixedWidth(width);
    return edit;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    return named(new QPushButton(caption, parent), name);
}

QHBoxLayout* labelled(QWidget* parent, const QString& caption, QLineEdit* edit) {
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    auto* label = new QLabel(caption, parent);
    label->setBuddy(edit);
    row->addWidget(label);
    row->addWidget(edit);
    return row;
}

QListWidgetItem* checkItem(const QString& text, bool checked) {
    auto* item = new QListWidgetItem(text);
    item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    return item;
}

void fillBitList(QListWidget* list, const QString& prefix, int bits) {
    list->clear();
    for (int i = 0; i < 16; ++i)
        list->addItem(
            checkItem(prefix + QString::number(i), getBit(static_cast<unsigned>(bits), i)));
}

int checkedBits(const QListWidget* list) {
    int bits = 0;
    for (int i = 0; i < list->count() && i < 16; ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            bits |= 1 << i;
    return bits;
}

QListWidget* singleSelection(QListWidget* list) {
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

} // namespace pellam
