// The HDR Static Metadata Data Block on "B1/HDMI 2.x": presence, the EOTFs,
// the static metadata descriptor and the three optional luminance codes, each
// with its value in cd/m² beside it.
#pragma once

#include "gui/cea/block1_context.h"

#include <array>

#include <QGroupBox>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace pellam {

class HdrMetadataGroup : public QGroupBox {
    Q_OBJECT

public:
    HdrMetadataGroup(const Block1Context& context, QWidget* parent);

    // The controls from the first HDR Static Metadata Data Block of block 1.
    void decode();

    QCheckBox* ckxHDR_Enable;
    QGroupBox* gbxHDR_EOTF;
    QCheckBox* ckxHDR_SDR;
    QCheckBox* ckxHDR_HDR;
    QCheckBox* ckxHDR_PQ;
    QCheckBox* ckxHDR_HLG;
    QCheckBox* ckxHDR_SMType1;
    QGroupBox* gbxHDR_Luminance;
    // Whether the block holds the code: max, max frame-average, min.
    QCheckBox* ckxHDR_MaxLum;
    QCheckBox* ckxHDR_MaxFALL;
    QCheckBox* ckxHDR_MinLum;
    QLineEdit* ledHDR_MaxLum;
    QLineEdit* ledHDR_MaxFALL;
    QLineEdit* ledHDR_MinLum;
    QLabel* lblHDR_MaxLum;
    QLabel* lblHDR_MaxFALL;
    QLabel* lblHDR_MinLum;

public slots:
    void ckxHDR_EnableClick();
    void ckxHDR_EOTFClick();
    void ckxHDR_SMType1Click();
    void ckxHDR_LumClick();
    // A code edit's text, taken when the edit is finished.
    void ledHDR_LumChange();

private:
    bool filling() const { return m_context.filling(); }
    // The labels beside the codes the block holds; the min's value follows the max.
    void showLuminance();
    void luminanceCodeEdited(int index);

    Block1Context m_context;
    DataBlockCollection& m_collection;
    std::array<QCheckBox*, 4> m_eotfs{};
    std::array<QCheckBox*, 3> m_present{};
    std::array<QLineEdit*, 3> m_codes{};
    std::array<QLabel*, 3> m_values{};
};

} // namespace pellam
