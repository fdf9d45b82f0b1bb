// The hex grid of the image with its header row and column: a QTableWidget
// of 17 columns and a row of 16 bytes for each 16 bytes of the image (eight
// per block; 16 rows show at once, so a 256-byte image needs no scrolling),
// whose cells are painted from the cell mark and cell state tables. The
// grid only shows and forwards; the window decides what a key or a hover
// means.
#pragma once

#include "core/edid/workspace.h"

#include <vector>

#include <QLineEdit>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableWidget>

class QLineEdit;

namespace pellam {

class HexGridWidget;

// Paints the cells and watches the in-place editor's keys.
class HexGridDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit HexGridDelegate(HexGridWidget* grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;

    QLineEdit* openEditor() const { return m_editor; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    HexGridWidget* m_grid;
    mutable QPointer<QLineEdit> m_editor;
};

class HexGridWidget : public QTableWidget {
    Q_OBJECT

public:
    static constexpr int kPitchX = 40; // 39 pixels and a grid line
    static constexpr int kPitchY = 24; // 23 pixels and a grid line
    static constexpr QRgb kTextColour = 0x0000FF;

    explicit HexGridWidget(QWidget* parent = nullptr);

    // The tables the cells are painted from; they must outlive the grid.
    void setCellTables(const std::vector<std::int32_t>* marks,
                       const std::vector<std::int32_t>* states);
    // Rows for this many bytes (at least 256), with their row headers; a
    // scroll bar appears beside the grid when they do not fit.
    void setByteCount(std::size_t count);
    std::size_t byteCount() const { return static_cast<std::size_t>(rowCount() - 1) * 16; }

    // Writes "00".."0F" and "00".."F0" into the header row and column.
    void writeHeaders();
    // The text of the cell of an image byte.
    QString cellText(std::size_t offset) const;
    void setCellText(std::size_t offset, const QString& text);
    // Image offset of the current cell; -1 on a header cell.
    int currentOffset() const;
    void setCurrentOffset(std::size_t offset);
    // The text being typed into the current cell, or its text.
    QString currentCellText() const;
    // Ends in-place editing without storing the typed text.
    void cancelEditing();

    // The hover hint shown over the grid.
    void setHint(bool enabled, const QString& text);
    bool hintEnabled() const { return m_hintEnabled; }
    QString hintText() const { return m_hintText; }

    // The mark and state of a byte's cell; 0 without tables or beyond them.
    int cellMark(std::size_t offset) const;
    int cellState(std::size_t offset) const;

    static int offsetOf(int row, int column) { return (row - 1) * 16 + (column - 1); }

signals:
    // Every key pressed while the grid or its in-place editor has the focus.
    void keyPressed(int key);
    // The pointer moved to (x, y), in pixels from the grid's top-left corner.
    void pointerMoved(int x, int y);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    friend class HexGridDelegate;
    // Forwards an editor key; true when the key was Enter and was taken.
    bool editorKeyPressed(int key);

    HexGridDelegate* m_delegate;
    void addRows(int first, int last);
    // Width for the 17 columns, height between 16 data rows and every row.
    void fitRows();

    const std::vector<std::int32_t>* m_marks = nullptr;
    const std::vector<std::int32_t>* m_states = nullptr;
    bool m_hintEnabled = false;
    QString m_hintText;
};

} // namespace pellam
