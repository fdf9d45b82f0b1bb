#include "gui/cea/hdmi_forum_group.h"

#include "core/edid/decimal.h"
#include "gui/ui/committed_edit.h"
#include "gui/ui/control_family.h"
#include "gui/ui/widgets.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pellam {

namespace {

using HF = HdmiForumBlock;

// Codes 0..15 of a 4-bit field, each with its meaning; the reserved ones stay
// choosable so that a block read with one shows and keeps it.
QComboBox* codeList(QWidget* parent, const char* name, std::string (*text)(int)) {
    auto* list = named(new QComboBox(parent), name);
    for (int code = 0; code < 16; ++code)
        list->addItem(QStringLiteral("%1: %2").arg(code).arg(qs(text(code))));
    return list;
}

// A caption on the left of its control, both as narrow as they can be.
QHBoxLayout* captioned(QWidget* parent, const QString& caption, QWidget* control) {
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    auto* label = new QLabel(caption, parent);
    label->setBuddy(control);
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    row->addWidget(label);
    row->addWidget(control);
    return row;
}

// Four check boxes a row.
QGridLayout* boxGrid(std::initializer_list<QCheckBox*> boxes) {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(1);
    int i = 0;
    for (QCheckBox* box : boxes) {
        grid->addWidget(box, i / 4, i % 4);
        ++i;
    }
    return grid;
}

} // namespace

HdmiForumGroup::HdmiForumGroup(const Block1Context& context, QWidget* parent)
    : QGroupBox(tr("HDMI Forum 供应商特定数据"), parent)
    , m_context(context)
    , m_collection(context.collection) {
    setObjectName(QStringLiteral("gbxHF"));
    QWidget* g = this;
    ckxHF_Enable = checkBox(g, "ckxHF_Enable", tr("Enable"));
    rbnHF_VSDB = named(new QRadioButton(QStringLiteral("HF-VSDB (OUI C4-5D-D8)"), g), "rbnHF_VSDB");
    rbnHF_SCDB = named(new QRadioButton(tr("HF-SCDB (Ext. Tag 79h)"), g), "rbnHF_SCDB");
    ledHF_Len = lineEdit(g, "ledHF_Len", 2, 34);
    ledHF_Version = lineEdit(g, "ledHF_Version", 3, 40);
    ledHF_MaxTMDS = lineEdit(g, "ledHF_MaxTMDS", 4, 48);

    ckxHF_SCDC = flag("ckxHF_SCDC", "SCDC_Present", &HF::scdcPresent, 6);
    ckxHF_RR = flag("ckxHF_RR", "RR_Capable", &HF::rrCapable, 6);
    ckxHF_CableStatus = flag("ckxHF_CableStatus", "CABLE_STATUS", &HF::cableStatus, 6);
    ckxHF_CCBPCI = flag("ckxHF_CCBPCI", "CCBPCI", &HF::ccbpci, 6);
    ckxHF_LTE340Scramble =
        flag("ckxHF_LTE340Scramble", "LTE_340Mcsc_Scramble", &HF::lte340McscScramble, 6);
    ckxHF_IndependentView =
        flag("ckxHF_IndependentView", "Independent_View", &HF::independentView, 6);
    ckxHF_DualView = flag("ckxHF_DualView", "Dual_View", &HF::dualView, 6);
    ckxHF_3DOSD = flag("ckxHF_3DOSD", "3D_OSD_Disparity", &HF::osdDisparity, 6);

    cbxHF_MaxFRL = codeList(g, "cbxHF_MaxFRL", frlRateText);
    ckxHF_UHDVIC = flag("ckxHF_UHDVIC", "UHD_VIC", &HF::uhdVic, 7);
    ckxHF_DC48_420 = flag("ckxHF_DC48_420", "DC_48bit_420", &HF::dc48bit420, 7);
    ckxHF_DC36_420 = flag("ckxHF_DC36_420", "DC_36bit_420", &HF::dc36bit420, 7);
    ckxHF_DC30_420 = flag("ckxHF_DC30_420", "DC_30bit_420", &HF::dc30bit420, 7);

    ckxHF_FAPAStart = flag("ckxHF_FAPAStart", "FAPA_start_location", &HF::fapaStartLocation, 8);
    ckxHF_ALLM = flag("ckxHF_ALLM", "ALLM", &HF::allm, 8);
    ckxHF_FVA = flag("ckxHF_FVA", "FVA", &HF::fva, 8);
    ckxHF_CNMVRR = flag("ckxHF_CNMVRR", "CNMVRR", &HF::cnmvrr, 8);
    ckxHF_CinemaVRR = flag("ckxHF_CinemaVRR", "CinemaVRR", &HF::cinemaVrr, 8);
    ckxHF_MDelta = flag("ckxHF_MDelta", "M_delta", &HF::mDelta, 8);
    ckxHF_QMS = flag("ckxHF_QMS", "QMS", &HF::qms, 8);
    ckxHF_FAPAEndExt = flag("ckxHF_FAPAEndExt", "FAPA_End_Extended", &HF::fapaEndExtended, 8);

    ledHF_VRRMin = lineEdit(g, "ledHF_VRRMin", 2, 34);
    ledHF_VRRMax = lineEdit(g, "ledHF_VRRMax", 4, 40);

    ckxHF_DSC12 = flag("ckxHF_DSC12", "DSC_1p2", &HF::dsc1p2, 11);
    ckxHF_DSCNative420 = flag("ckxHF_DSCNative420", "DSC_Native_420", &HF::dscNative420, 11);
    ckxHF_QMSTFRMax = flag("ckxHF_QMSTFRMax", "QMS_TFRmax", &HF::qmsTfrMax, 11);
    ckxHF_QMSTFRMin = flag("ckxHF_QMSTFRMin", "QMS_TFRmin", &HF::qmsTfrMin, 11);
    ckxHF_DSCAllBpp = flag("ckxHF_DSCAllBpp", "DSC_All_bpp", &HF::dscAllBpp, 11);
    ckxHF_DSC16bpc = flag("ckxHF_DSC16bpc", "DSC_16bpc", &HF::dsc16bpc, 11);
    ckxHF_DSC12bpc = flag("ckxHF_DSC12bpc", "DSC_12bpc", &HF::dsc12bpc, 11);
    ckxHF_DSC10bpc = flag("ckxHF_DSC10bpc", "DSC_10bpc", &HF::dsc10bpc, 11);
    cbxHF_DSCMaxFRL = codeList(g, "cbxHF_DSCMaxFRL", frlRateText);
    cbxHF_DSCMaxSlices = codeList(g, "cbxHF_DSCMaxSlices", dscSliceLimitText);
    ledHF_DSCChunk = lineEdit(g, "ledHF_DSCChunk", 2, 34);
    lblHF_DSCChunk = named(new QLabel(g), "lblHF_DSCChunk");
    lblHF_DSCChunk->setMinimumWidth(90);

    auto* first = new QHBoxLayout;
    first->addWidget(ckxHF_Enable);
    first->addWidget(rbnHF_VSDB);
    first->addWidget(rbnHF_SCDB);
    first->addSpacing(8);
    first->addLayout(captioned(g, tr("长度"), ledHF_Len));
    first->addLayout(captioned(g, tr("Version"), ledHF_Version));
    first->addStretch();

    auto* rates = new QHBoxLayout;
    rates->addLayout(captioned(g, QStringLiteral("Max_TMDS_Character_Rate(MHz)"), ledHF_MaxTMDS));
    rates->addSpacing(12);
    rates->addLayout(captioned(g, QStringLiteral("Max_FRL_Rate"), cbxHF_MaxFRL));
    rates->addStretch();

    auto* vrr = new QHBoxLayout;
    vrr->addLayout(captioned(g, QStringLiteral("VRRmin(Hz)"), ledHF_VRRMin));
    vrr->addSpacing(12);
    vrr->addLayout(captioned(g, QStringLiteral("VRRmax(Hz)"), ledHF_VRRMax));
    vrr->addStretch();

    auto* dsc = new QHBoxLayout;
    dsc->addLayout(captioned(g, QStringLiteral("DSC_Max_FRL_Rate"), cbxHF_DSCMaxFRL));
    dsc->addSpacing(12);
    dsc->addLayout(captioned(g, QStringLiteral("DSC_MaxSlices"), cbxHF_DSCMaxSlices));
    dsc->addStretch();
    auto* chunk = new QHBoxLayout;
    chunk->addLayout(captioned(g, QStringLiteral("DSC_TotalChunkKBytes"), ledHF_DSCChunk));
    chunk->addWidget(lblHF_DSCChunk);
    chunk->addStretch();

    // Each flag byte a block of check boxes, four a row, in the byte's bit order
    // from bit 7 down.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 2, 8, 6);
    layout->setSpacing(3);
    layout->addLayout(first);
    layout->addLayout(rates);
    layout->addLayout(
        boxGrid({ckxHF_SCDC, ckxHF_RR, ckxHF_CableStatus, ckxHF_CCBPCI, ckxHF_LTE340Scramble,
                 ckxHF_IndependentView, ckxHF_DualView, ckxHF_3DOSD, ckxHF_UHDVIC, ckxHF_DC48_420,
                 ckxHF_DC36_420, ckxHF_DC30_420}));
    layout->addLayout(boxGrid({ckxHF_FAPAEndExt, ckxHF_QMS, ckxHF_MDelta, ckxHF_CinemaVRR,
                               ckxHF_CNMVRR, ckxHF_FVA, ckxHF_ALLM, ckxHF_FAPAStart}));
    layout->addLayout(vrr);
    layout->addLayout(boxGrid({ckxHF_DSC12, ckxHF_DSCNative420, ckxHF_QMSTFRMax, ckxHF_QMSTFRMin,
                               ckxHF_DSCAllBpp, ckxHF_DSC16bpc, ckxHF_DSC12bpc, ckxHF_DSC10bpc}));
    layout->addLayout(dsc);
    layout->addLayout(chunk);

    connectHandlers();
}

QCheckBox* HdmiForumGroup::flag(const char* name, const char* caption, bool HdmiForumBlock::*field,
                                int byteIndex) {
    QCheckBox* box = checkBox(this, name, QString::fromLatin1(caption));
    m_flags.push_back({box, field, byteIndex});
    return box;
}

void HdmiForumGroup::commitNumber(
    QLineEdit* edit, void (HdmiForumGroup::*handler)(),
    std::function<FieldEdit(HdmiForumBlock&, std::string_view)> field) {
    commitWhenFinished(
        edit, this, [this, handler] { (this->*handler)(); },
        [field](const QString& text) {
            HdmiForumBlock scratch;
            return qs(field(scratch, text.toStdString()).message);
        });
}

void HdmiForumGroup::connectHandlers() {
    const auto onCode = [this](QComboBox* list, void (HdmiForumGroup::*handler)()) {
        connect(list, &QComboBox::currentIndexChanged, this, handler);
    };
    using G = HdmiForumGroup;
    connect(ckxHF_Enable, &QCheckBox::clicked, this, &G::ckxHF_EnableClick);
    for (QRadioButton* kind : {rbnHF_VSDB, rbnHF_SCDB})
        connect(kind, &QRadioButton::clicked, this, &G::rbnHF_KindClick);
    commitWhenFinished(
        ledHF_Len, this, [this] { ledHF_LenExit(); },
        [](const QString& text) {
            const auto length = digitsValue(text.toStdString());
            return length && *length >= 7 && *length <= 31 ? QString()
                                                           : QString::fromLatin1(kMsgForumLength);
        });
    commitNumber(ledHF_Version, &G::ledHF_VersionChange, [](HdmiForumBlock& h, auto text) {
        return editNumber(h.version, text, 255, kMsgByteValue);
    });
    commitNumber(ledHF_MaxTMDS, &G::ledHF_MaxTMDSChange,
                 [](HdmiForumBlock& h, auto text) { return editMaxTmdsCharacterRate(h, text); });
    commitNumber(ledHF_VRRMin, &G::ledHF_VRRMinChange, [](HdmiForumBlock& h, auto text) {
        return editNumber(h.vrrMin, text, 63, kMsgVrrMin);
    });
    commitNumber(ledHF_VRRMax, &G::ledHF_VRRMaxChange, [](HdmiForumBlock& h, auto text) {
        return editNumber(h.vrrMax, text, 1023, kMsgVrrMax);
    });
    commitNumber(ledHF_DSCChunk, &G::ledHF_DSCChunkChange, [](HdmiForumBlock& h, auto text) {
        return editNumber(h.dscTotalChunkKBytes, text, 63, kMsgChunkCode);
    });
    onCode(cbxHF_MaxFRL, &G::cbxHF_MaxFRLChange);
    onCode(cbxHF_DSCMaxFRL, &G::cbxHF_DSCMaxFRLChange);
    onCode(cbxHF_DSCMaxSlices, &G::cbxHF_DSCMaxSlicesChange);
    for (const Flag& f : m_flags)
        connect(f.box, &QCheckBox::toggled, this, &G::ckxHF_FlagClick);
}

void HdmiForumGroup::applyEnablingRules(const std::optional<HdmiForumBlock>& block) {
    const bool editable = m_collection.editable;
    const int size = block ? block->size : 0;
    // A field is open when the block reaches the byte that holds it.
    const auto reaches = [&](int byteIndex) { return block && size > byteIndex; };
    ckxHF_Enable->setEnabled(editable);
    for (QWidget* w : std::initializer_list<QWidget*>{rbnHF_VSDB, rbnHF_SCDB, ledHF_Len,
                                                      ledHF_Version, ledHF_MaxTMDS})
        w->setEnabled(block.has_value());
    for (const Flag& f : m_flags)
        f.box->setEnabled(reaches(f.byteIndex));
    cbxHF_MaxFRL->setEnabled(reaches(7));
    ledHF_VRRMin->setEnabled(reaches(9));
    ledHF_VRRMax->setEnabled(reaches(10));
    cbxHF_DSCMaxFRL->setEnabled(reaches(12));
    cbxHF_DSCMaxSlices->setEnabled(reaches(12));
    ledHF_DSCChunk->setEnabled(reaches(13));
}

void HdmiForumGroup::decode() {
    const std::optional<HdmiForumBlock> block =
        m_collection.editable ? hdmiForumBlock(m_collection) : std::nullopt;
    applyEnablingRules(block);
    PageFillGuard guard(m_context.pageState.pageFillGuard);
    // An absent block shows nothing: another EDID's values must not stay on view.
    const HdmiForumBlock h = block.value_or(HdmiForumBlock{});
    const auto number = [&](int value, bool shown) {
        return shown ? QString::number(value) : QString();
    };
    const int size = block ? h.size : 0;
    ckxHF_Enable->setChecked(block.has_value());
    rbnHF_VSDB->setAutoExclusive(false);
    rbnHF_SCDB->setAutoExclusive(false);
    rbnHF_VSDB->setChecked(block && h.kind == HdmiForumKind::Vsdb);
    rbnHF_SCDB->setChecked(block && h.kind == HdmiForumKind::Scdb);
    rbnHF_VSDB->setAutoExclusive(true);
    rbnHF_SCDB->setAutoExclusive(true);
    ledHF_Len->setText(number(size - 1, block.has_value()));
    ledHF_Version->setText(number(h.version, block.has_value()));
    ledHF_MaxTMDS->setText(number(maxTmdsCharacterRateMhz(h), block.has_value()));
    for (const Flag& f : m_flags)
        f.box->setChecked(size > f.byteIndex && h.*f.field);
    cbxHF_MaxFRL->setCurrentIndex(size > 7 ? h.maxFrlRate : -1);
    ledHF_VRRMin->setText(number(h.vrrMin, size > 9));
    ledHF_VRRMax->setText(number(h.vrrMax, size > 10));
    cbxHF_DSCMaxFRL->setCurrentIndex(size > 12 ? h.dscMaxFrlRate : -1);
    cbxHF_DSCMaxSlices->setCurrentIndex(size > 12 ? h.dscMaxSlices : -1);
    ledHF_DSCChunk->setText(number(h.dscTotalChunkKBytes, size > 13));
    lblHF_DSCChunk->clear();
    if (size > 13)
        showChunkBytes(h.dscTotalChunkKBytes);
}

void HdmiForumGroup::showChunkBytes(int code) {
    lblHF_DSCChunk->setText(tr("= %1 bytes").arg(dscTotalChunkBytes(code)));
}

void HdmiForumGroup::edit(const std::function<FieldEdit(HdmiForumBlock&)>& change) {
    if (filling())
        return;
    std::optional<HdmiForumBlock> block = hdmiForumBlock(m_collection);
    if (!block)
        return;
    FieldEdit changed = change(*block);
    if (changed.stored)
        changed = storeHdmiForumBlock(m_collection, *block);
    // A refused text changes nothing: the group shows the block again.
    if (!changed.stored && !changed.message.empty())
        decode();
    tell(changed.message);
}

void HdmiForumGroup::ckxHF_EnableClick() {
    if (filling())
        return;
    const FieldEdit edit = enableHdmiForumBlock(m_collection, ckxHF_Enable->isChecked());
    decode();
    tell(edit.message);
}

void HdmiForumGroup::rbnHF_KindClick() {
    const HdmiForumKind kind = rbnHF_SCDB->isChecked() ? HdmiForumKind::Scdb : HdmiForumKind::Vsdb;
    edit([kind](HdmiForumBlock& h) {
        h.kind = kind;
        return FieldEdit::done();
    });
}

void HdmiForumGroup::ledHF_LenExit() {
    const auto block = hdmiForumBlock(m_collection);
    if (filling() || !block)
        return;
    const FieldEdit edit = editHdmiForumLength(m_collection, textOf(ledHF_Len));
    decode();
    tell(edit.message);
}

void HdmiForumGroup::ledHF_VersionChange() {
    edit([this](HdmiForumBlock& h) {
        return editNumber(h.version, textOf(ledHF_Version), 255, kMsgByteValue);
    });
}

void HdmiForumGroup::ledHF_MaxTMDSChange() {
    edit([this](HdmiForumBlock& h) { return editMaxTmdsCharacterRate(h, textOf(ledHF_MaxTMDS)); });
}

void HdmiForumGroup::ledHF_VRRMinChange() {
    edit([this](HdmiForumBlock& h) {
        return editNumber(h.vrrMin, textOf(ledHF_VRRMin), 63, kMsgVrrMin);
    });
}

void HdmiForumGroup::ledHF_VRRMaxChange() {
    edit([this](HdmiForumBlock& h) {
        return editNumber(h.vrrMax, textOf(ledHF_VRRMax), 1023, kMsgVrrMax);
    });
}

void HdmiForumGroup::ledHF_DSCChunkChange() {
    edit([this](HdmiForumBlock& h) {
        const FieldEdit e =
            editNumber(h.dscTotalChunkKBytes, textOf(ledHF_DSCChunk), 63, kMsgChunkCode);
        if (e.stored)
            showChunkBytes(h.dscTotalChunkKBytes);
        return e;
    });
}

void HdmiForumGroup::cbxHF_MaxFRLChange() {
    const int code = cbxHF_MaxFRL->currentIndex();
    edit([code](HdmiForumBlock& h) {
        h.maxFrlRate = code;
        return code < 0 ? FieldEdit::nothing() : FieldEdit::done();
    });
}

void HdmiForumGroup::cbxHF_DSCMaxFRLChange() {
    const int code = cbxHF_DSCMaxFRL->currentIndex();
    edit([code](HdmiForumBlock& h) {
        h.dscMaxFrlRate = code;
        return code < 0 ? FieldEdit::nothing() : FieldEdit::done();
    });
}

void HdmiForumGroup::cbxHF_DSCMaxSlicesChange() {
    const int code = cbxHF_DSCMaxSlices->currentIndex();
    edit([code](HdmiForumBlock& h) {
        h.dscMaxSlices = code;
        return code < 0 ? FieldEdit::nothing() : FieldEdit::done();
    });
}

void HdmiForumGroup::ckxHF_FlagClick() {
    const QObject* box = sender();
    const auto f = std::find_if(m_flags.begin(), m_flags.end(),
                                [box](const Flag& flag) { return flag.box == box; });
    if (f == m_flags.end())
        return;
    const bool on = f->box->isChecked();
    edit([&](HdmiForumBlock& h) {
        h.*(f->field) = on;
        return FieldEdit::done();
    });
}

} // namespace pellam
