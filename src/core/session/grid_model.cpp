#include "core/session/grid_model.h"

#include "core/base_block/detailed_timing.h"
#include "core/cea/extension_block.h"
#include "core/edid/hex.h"

#include <algorithm>

namespace pellam {

namespace {

struct BlockRange {
    bool present;
    int offset;
    int size;
    CellState state;
};

// The modelled data blocks in the order in which they are coloured and hinted.
std::array<BlockRange, 6> blockRanges(const DataBlockCollection& c) {
    return {{
        {c.video.present, c.video.offset, c.video.size, kStateVideo},
        {c.audio.present, c.audio.offset, c.audio.size, kStateAudio},
        {c.speaker.present, c.speaker.offset, c.speaker.size, kStateSpeaker},
        {c.vsdb.present, c.vsdb.offset, c.vsdb.size, kStateVsdb},
        {c.videoCapability.present, c.videoCapability.offset, c.videoCapability.size,
         kStateVideoCapability},
        {c.colorimetry.present, c.colorimetry.offset, c.colorimetry.size, kStateColorimetry},
    }};
}

template <typename States>
void setRange(States& states, int first, int count, std::int32_t state) {
    for (int i = std::max(first, 0); i < first + count && i < static_cast<int>(states.size()); ++i)
        states[static_cast<std::size_t>(i)] = state;
}

} // namespace

std::string_view hintText(int type) {
    switch (type) {
    case kStateDescriptor1:
    case kStateDescriptor2:
        return "Detail Timing Block";
    case kStateMonitorName:
        return "Monitor Name";
    case kStateMonitorRange:
        return "Monitor Range";
    case kStateVideo:
        return "Short Video Descriptor";
    case kStateAudio:
        return "Short Audio Descriptor";
    case kStateSpeaker:
        return "Speaker Allocation";
    case kStateVsdb:
        return "VSDB Block";
    case kStateVideoCapability:
        return "Extended VCDB Block";
    case kStateColorimetry:
        return "Extended Colorimetry Data Block";
    default:
        return {};
    }
}

int cellStateColour(int state) {
    switch (state) {
    case kStateDescriptor1:
        return 0xC0DCC0;
    case kStateDescriptor2:
        return 0xA6CAF0;
    case kStateMonitorName:
        return 0xE0E0E0;
    case kStateMonitorRange:
        return 0xC0C0C0;
    case kStateVideo:
        return 0xF78FF0;
    case kStateAudio:
        return 0x8BF58A;
    case kStateSpeaker:
        return 0xFB858A;
    case kStateVsdb:
        return 0xFBF58A;
    case kStateVideoCapability:
        return 0xFBC58A;
    case kStateColorimetry:
        return 0xABC58A;
    case kStateOtherExtension:
        return 0xD8D8F0;
    default:
        return -1;
    }
}

void FillCellStates(std::array<std::int32_t, kImageSize>& states, const DataBlockCollection& c,
                    bool fill) {
    states.fill(kStateNone);
    if (!fill)
        return;
    setRange(states, 54, 18, kStateDescriptor1);
    setRange(states, 72, 18, kStateDescriptor2);
    setRange(states, 90, 18, kStateMonitorName);
    setRange(states, 108, 18, kStateMonitorRange);
    for (int i = 0; i < c.timings.count; ++i)
        setRange(states, c.timings.timings[static_cast<std::size_t>(i)].slotOffset,
                 static_cast<int>(kDtdSize), i % 2 == 0 ? kStateDescriptor1 : kStateDescriptor2);
    for (const BlockRange& block : blockRanges(c))
        if (block.present)
            setRange(states, block.offset, block.size, block.state);
}

int HintTypeAt(int row, int column, const DataBlockCollection& c) {
    if (row < 0 || row > 15 || column < 0 || column > 15)
        return kHintNone;
    const int b = row * 16 + column;
    if (b < 54)
        return kHintNone;
    if (b < 72)
        return kStateDescriptor1;
    if (b < 90)
        return kStateDescriptor2;
    if (b < 108)
        return kStateMonitorName;
    if (b < 126)
        return kStateMonitorRange;
    for (const BlockRange& block : blockRanges(c))
        if (block.present && b >= block.offset && b < block.offset + block.size)
            return block.state;
    int j = 0;
    for (int i = 0; i < c.timings.count; ++i)
        if (c.timings.timings[static_cast<std::size_t>(i)].slotOffset <= b)
            ++j;
    if (j > 0) {
        const int lastStart =
            c.timings.timings[static_cast<std::size_t>(c.timings.count - 1)].slotOffset;
        if (j < c.timings.count || b < lastStart + static_cast<int>(kDtdSize))
            return kStateDescriptor1;
    }
    return kHintNone;
}

GridPosition gridPositionAt(int x, int y) {
    // Integer division truncates toward zero, so the row-header column
    // (x 1..39) maps to data column 0.
    return {y / 24 - 1, (x - 40) / 40};
}

void renderGridState(GridCells& cells, const ModeMenus& menus,
                     const DataBlockCollection& collection, std::span<const Byte> moreBlocks) {
    const std::size_t length = kImageSize + moreBlocks.size() / kBlockSize * kBlockSize;
    std::array<std::int32_t, kImageSize> first{};
    FillCellStates(first, collection);
    cells.states.assign(first.begin(), first.end());
    cells.states.resize(length, kStateNone);
    for (std::size_t start = 0; start + kBlockSize <= moreBlocks.size(); start += kBlockSize) {
        const std::span<const Byte> block = moreBlocks.subspan(start, kBlockSize);
        const int base = static_cast<int>(kImageSize + start);
        DataBlockCollection cta;
        parseCtaBlock(block, base, cta);
        if (!cta.editable) {
            std::fill_n(cells.states.begin() + base, kBlockSize, kStateOtherExtension);
            continue;
        }
        for (int i = 0; i < cta.timings.count; ++i)
            setRange(cells.states, cta.timings.timings[static_cast<std::size_t>(i)].slotOffset,
                     static_cast<int>(kDtdSize), i % 2 == 0 ? kStateDescriptor1 : kStateDescriptor2);
        for (const BlockRange& range : blockRanges(cta))
            if (range.present)
                setRange(cells.states, range.offset, range.size, range.state);
    }
    const std::int32_t extensionMark = menus.n128Bytes1 ? kCellHidden : kCellNormal;
    cells.marks.assign(length, extensionMark);
    std::fill_n(cells.marks.begin(), kBlockSize, kCellNormal);
}

std::string extensionHintAt(std::size_t offset, const GridCells& cells,
                            std::span<const Byte> moreBlocks) {
    if (offset < kImageSize || offset - kImageSize >= moreBlocks.size())
        return {};
    const int state = offset < cells.states.size() ? cells.states[offset] : kStateNone;
    if (state != kStateNone && state != kStateOtherExtension)
        return std::string(hintText(state));
    const std::size_t block = offset / kBlockSize;
    const Byte tag = moreBlocks[(block - 2) * kBlockSize];
    return "Block " + std::to_string(block) + ": " + extensionKindName(tag) + " extension";
}

std::size_t applyCompareMarks(GridCells& cells, std::span<const Byte> image,
                              std::span<const Byte> other, std::size_t count) {
    const std::size_t length = std::max<std::size_t>(image.size(), kImageSize);
    cells.states.assign(length, kStateNone);
    cells.marks.assign(length, kCellNormal);
    std::size_t differences = 0;
    for (std::size_t i = 0; i < length && i < count; ++i) {
        const bool inImage = i < image.size();
        const bool inOther = i < other.size();
        const bool differs = inImage != inOther || (inImage && image[i] != other[i]);
        cells.marks[i] = differs ? kCellDiffers : kCellNormal;
        differences += differs ? 1 : 0;
    }
    return differences;
}

std::string compareCellText(Byte shown, Byte other) {
    return shown == other ? hexByte(shown) : hexByte(shown) + "/" + hexByte(other);
}

void GridHintState::hover(int type) {
    if (type == kHintNone) {
        m_enabled = false;
        return;
    }
    if (type != m_lastType) {
        m_text = hintText(type);
        m_lastType = type;
    }
    m_enabled = true;
}

} // namespace pellam
