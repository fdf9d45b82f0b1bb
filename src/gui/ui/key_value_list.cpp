#include "gui/ui/key_value_list.h"

#include <QHeaderView>

namespace pellam {

namespace {

constexpr int kKeyRole = Qt::UserRole;

} // namespace

KeyValueList::KeyValueList(QWidget* parent)
    : QTableWidget(0, 2, parent) {
    setHorizontalHeaderLabels({tr("Key"), tr("Value")});
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!m_writing && item->column() == 1)
            emit lineValidated(item->row());
    });
}

void KeyValueList::clearLines() {
    m_writing = true;
    setRowCount(0);
    m_writing = false;
}

void KeyValueList::addLine(const QString& key, const QString& value) {
    m_writing = true;
    const int row = rowCount();
    insertRow(row);
    auto* keyItem = new QTableWidgetItem(key.endsWith(QLatin1Char('=')) ? key.chopped(1) : key);
    keyItem->setData(kKeyRole, key);
    keyItem->setFlags(Qt::ItemIsEnabled);
    setItem(row, 0, keyItem);
    setItem(row, 1, new QTableWidgetItem(value));
    m_writing = false;
}

QString KeyValueList::key(int row) const {
    const QTableWidgetItem* keyItem = item(row, 0);
    return keyItem ? keyItem->data(kKeyRole).toString() : QString();
}

QString KeyValueList::valueText(int row) const {
    const QTableWidgetItem* valueItem = item(row, 1);
    return valueItem ? valueItem->text() : QString();
}

void KeyValueList::setValueText(int row, const QString& value) {
    if (QTableWidgetItem* valueItem = item(row, 1))
        valueItem->setText(value);
}

QStringList KeyValueList::lines() const {
    QStringList result;
    for (int row = 0; row < rowCount(); ++row)
        result << key(row) + valueText(row);
    return result;
}

KeyValueList::Lines KeyValueList::keyValueLines() const {
    Lines result;
    for (int row = 0; row < lineCount(); ++row)
        result.emplace_back(key(row).toStdString(), valueText(row).toStdString());
    return result;
}

void KeyValueList::showLines(const Lines& lines) {
    clearLines();
    for (const auto& [key, value] : lines)
        addLine(QString::fromStdString(key), QString::fromStdString(value));
}

} // namespace pellam
