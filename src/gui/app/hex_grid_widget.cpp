#include "gui/app/hex_grid_widget.h"

#include "core/session/grid_model.h"
#include "core/edid/hex.h"

#include <algorithm>

#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

namespace pellam {

namespace {

bool isHeaderCell(const QModelIndex& index) {
    return index.row() == 0 || index.column() == 0;
}

bool isEnterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

HexGridDelegate::HexGridDelegate(HexGridWidget* grid)
    : QStyledItemDelegate(grid)
    , m_grid(grid) {}

void HexGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    const QString text = index.data(Qt::DisplayRole).toString();
    const QPoint textOrigin = option.rect.topLeft() + QPoint(2, 2);
    const QRect textRect(textOrigin, option.rect.bottomRight());
    painter->save();
    if (isHeaderCell(index)) {
        // Header cells keep the look of fixed grid cells.
        painter->fillRect(option.rect, option.palette.button());
        painter->setPen(option.palette.color(QPalette::Active, QPalette::ButtonText));
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop, text);
        painter->restore();
        return;
    }
    const int offset = HexGridWidget::offsetOf(index.row(), index.column());
    if (offset == 0) {
        // Byte 0 keeps the grid's own look, selection highlight included.
        painter->restore();
        QStyleOptionViewItem plain = option;
        plain.palette.setColor(QPalette::Text, QColor::fromRgb(HexGridWidget::kTextColour));
        QStyledItemDelegate::paint(painter, plain, index);
        return;
    }

    const int state = m_grid->cellState(static_cast<std::size_t>(offset));
    const int colour = cellStateColour(state);
    painter->fillRect(option.rect, colour < 0 ? option.palette.base().color()
                                              : QColor::fromRgb(static_cast<QRgb>(colour)));
    const int mark = m_grid->cellMark(static_cast<std::size_t>(offset));
    QColor pen = QColor::fromRgb(HexGridWidget::kTextColour);
    QString shown = text;
    if (mark == kCellDiffers) {
        pen = QColor(0xFF, 0x00, 0x00);
    } else if (mark == kCellHidden) {
        pen = QColor(0x80, 0x80, 0x80);
        shown = QStringLiteral("00");
    }
    painter->setFont(option.font);
    painter->setPen(pen);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop, shown);
    if (option.state & QStyle::State_HasFocus) {
        // The background covers the selection colour; a dotted frame still
        // shows which cell is current.
        painter->setPen(QPen(option.palette.color(QPalette::WindowText), 1, Qt::DotLine));
        painter->drawRect(option.rect.adjusted(1, 1, -2, -2));
    }
    painter->restore();
}

QWidget* HexGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const {
    auto* editor =
        qobject_cast<QLineEdit*>(QStyledItemDelegate::createEditor(parent, option, index));
    if (!editor)
        editor = new QLineEdit(parent);
    editor->setObjectName(QStringLiteral("StringGrid1Editor"));
    editor->setFrame(false);
    QPalette palette = editor->palette();
    palette.setColor(QPalette::Text, QColor::fromRgb(HexGridWidget::kTextColour));
    editor->setPalette(palette);
    m_editor = editor;
    return editor;
}

void HexGridDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
    if (editor == m_editor)
        m_editor = nullptr;
    QStyledItemDelegate::destroyEditor(editor, index);
}

bool HexGridDelegate::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched == m_editor) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (m_grid->editorKeyPressed(key))
            return true;
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

HexGridWidget::HexGridWidget(QWidget* parent)
    : QTableWidget(17, 17, parent)
    , m_delegate(new HexGridDelegate(this)) {
    setObjectName(QStringLiteral("StringGrid1"));
    setItemDelegate(m_delegate);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setDefaultSectionSize(kPitchX);
    verticalHeader()->setDefaultSectionSize(kPitchY);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::NoFrame);
    fitRows();
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed |
                    QAbstractItemView::EditKeyPressed);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);

    addRows(0, 16);
    setCurrentCell(1, 1);
}

void HexGridWidget::addRows(int first, int last) {
    for (int row = first; row <= last; ++row) {
        for (int column = 0; column < 17; ++column) {
            auto* item = new QTableWidgetItem;
            if (row == 0 || column == 0)
                item->setFlags(Qt::NoItemFlags);
            else
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
            setItem(row, column, item);
        }
    }
}

void HexGridWidget::setCellTables(const std::vector<std::int32_t>* marks,
                                  const std::vector<std::int32_t>* states) {
    m_marks = marks;
    m_states = states;
    viewport()->update();
}

int HexGridWidget::cellMark(std::size_t offset) const {
    return m_marks && offset < m_marks->size() ? (*m_marks)[offset] : 0;
}

int HexGridWidget::cellState(std::size_t offset) const {
    return m_states && offset < m_states->size() ? (*m_states)[offset] : 0;
}

void HexGridWidget::setByteCount(std::size_t count) {
    const int rows = static_cast<int>(std::max<std::size_t>(count, kImageSize) / 16) + 1;
    if (rows == rowCount())
        return;
    const int before = rowCount();
    setRowCount(rows);
    if (rows > before)
        addRows(before, rows - 1);
    writeHeaders();
    fitRows();
    if (currentRow() >= rows)
        setCurrentCell(1, 1);
}

void HexGridWidget::fitRows() {
    // 16 data rows at least; more when the window gives room, up to every
    // row. A grid that scrolls is wider by the scroll bar, so that no column
    // is covered.
    const int rows = rowCount();
    const int bar = rows > 17 ? verticalScrollBar()->sizeHint().width() : 0;
    setFixedWidth(17 * kPitchX + bar);
    setMinimumHeight(17 * kPitchY);
    setMaximumHeight(rows * kPitchY);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

void HexGridWidget::writeHeaders() {
    for (int i = 1; i <= 16; ++i)
        item(0, i)->setText(QString::fromStdString(hexByte(static_cast<Byte>(i - 1))));
    for (int row = 1; row < rowCount(); ++row) {
        const int offset = 16 * (row - 1);
        item(row, 0)->setText(offset < 256 ? QString::fromStdString(hexByte(static_cast<Byte>(offset)))
                                           : QString::number(offset, 16).toUpper());
    }
}

QString HexGridWidget::cellText(std::size_t offset) const {
    return item(static_cast<int>(offset / 16) + 1, static_cast<int>(offset % 16) + 1)->text();
}

void HexGridWidget::setCellText(std::size_t offset, const QString& text) {
    item(static_cast<int>(offset / 16) + 1, static_cast<int>(offset % 16) + 1)->setText(text);
}

int HexGridWidget::currentOffset() const {
    if (currentRow() < 1 || currentColumn() < 1)
        return -1;
    return offsetOf(currentRow(), currentColumn());
}

void HexGridWidget::setCurrentOffset(std::size_t offset) {
    setCurrentCell(static_cast<int>(offset / 16) + 1, static_cast<int>(offset % 16) + 1);
}

QString HexGridWidget::currentCellText() const {
    if (QLineEdit* editor = m_delegate->openEditor())
        return editor->text();
    const QTableWidgetItem* current = currentItem();
    return current ? current->text() : QString();
}

void HexGridWidget::cancelEditing() {
    if (QLineEdit* editor = m_delegate->openEditor()) {
        closeEditor(editor, QAbstractItemDelegate::NoHint);
        setFocus();
    }
}

void HexGridWidget::setHint(bool enabled, const QString& text) {
    m_hintEnabled = enabled;
    m_hintText = text;
    if (!enabled)
        QToolTip::hideText();
}

bool HexGridWidget::editorKeyPressed(int key) {
    emit keyPressed(key);
    // Enter is handled whole by the window: it stores the byte and ends
    // editing, or reports bad text and leaves the editor open.
    return isEnterKey(key);
}

void HexGridWidget::keyPressEvent(QKeyEvent* event) {
    emit keyPressed(event->key());
    QTableWidget::keyPressEvent(event);
}

void HexGridWidget::mouseMoveEvent(QMouseEvent* event) {
    // In grid pixels: a scrolled grid reports where the pointer is in it.
    const QPoint pos = viewport()->mapTo(this, event->position().toPoint());
    emit pointerMoved(pos.x(), pos.y() + verticalOffset());
    QTableWidget::mouseMoveEvent(event);
}

bool HexGridWidget::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (m_hintEnabled && !m_hintText.isEmpty())
            QToolTip::showText(help->globalPos(), m_hintText, viewport());
        else
            QToolTip::hideText();
        return true;
    }
    return QTableWidget::viewportEvent(event);
}

} // namespace pellam
