// Every bit of the Colorimetry Data Block on "B1/HDMI 2.x". "B1/扩展" shows
// the same block with its first five colorimetry bits and MD0..MD3: both
// pages edit the collection's one record, so each shows the other's edits
// when it is shown again.
#pragma once

#include "gui/cea/block1_context.h"

#include <array>

#include <QGroupBox>

class QCheckBox;

namespace pellam {

class ColorimetryGroup : public QGroupBox {
    Q_OBJECT

public:
    ColorimetryGroup(const Block1Context& context, QWidget* parent);

    void decode();

    QCheckBox* ckxCDB_Enable;
    QGroupBox* gbxCDB_Colorimetry; // the first byte
    QGroupBox* gbxCDB_Second;      // the second byte
    // Bit order, first byte first, named as the bits: ckxCDB_xvYCC601 ..
    // ckxCDB_BT2020RGB, ckxCDB_MD0 .. ckxCDB_MD3, ckxCDB_defaultRGB,
    // ckxCDB_sRGB, ckxCDB_ICtCp, ckxCDB_DCIP3.
    std::array<QCheckBox*, 16> bits{};

public slots:
    void ckxCDB_EnableClick();
    void ckxCDB_BitClick();

private:
    bool filling() const { return m_context.filling(); }

    Block1Context m_context;
    DataBlockCollection& m_collection;
};

} // namespace pellam
