// The two YCbCr 4:2:0 blocks on "B1/HDMI 2.x": beside each SVD of block 1 a
// check for the Capability Map's bit, with a box for the map's short form
// (every SVD); and the formats taken only in 4:2:0 (the 4:2:0 Video Data
// Block), checked when native.
#pragma once

#include "gui/cea/block1_context.h"

#include <QGroupBox>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace pellam {

class Ycbcr420Group : public QGroupBox {
    Q_OBJECT

public:
    Ycbcr420Group(const Block1Context& context, QWidget* parent);

    void decode();

    QGroupBox* gbxY420Map;
    QListWidget* clxY420Map; // one item per SVD (and per bit past them), checked when mapped
    QCheckBox* ckxY420Map_All;
    QGroupBox* gbxY420VDB;
    QListWidget* clxY420VDB; // the 4:2:0-only VICs, checked when native
    QLineEdit* ledY420_VIC;
    QPushButton* btnY420Add;
    QPushButton* btnY420Delete;

public slots:
    void clxY420MapClickCheck(QListWidgetItem* item);
    void ckxY420Map_AllClick();
    void clxY420VDBClickCheck(QListWidgetItem* item);
    void btnY420AddClick();
    void btnY420DeleteClick();

private:
    bool filling() const { return m_context.filling(); }
    void tell(const std::string& message) { m_context.tell(this, message); }
    // The map's checks as the collection holds them, in place.
    void showMapChecks();

    Block1Context m_context;
    DataBlockCollection& m_collection;
};

} // namespace pellam
