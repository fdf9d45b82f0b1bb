#include "core/cea/modern_block_edits.h"

#include "core/cea/cea_formats.h"
#include "core/cea/data_block_codecs.h"
#include "core/cea/extension_block.h"
#include "core/edid/decimal.h"

#include <algorithm>
#include <cstdio>

namespace pellam {

namespace {

constexpr int kMaxTmdsMhz = 255 * 5;
constexpr int kMaxLuminanceCodes = 3;
// A new HDR block: traditional gamma (SDR) and Static Metadata Type 1, the
// pair every HDR sink lists.
const std::vector<Byte> kNewHdrBlock = {0xE3, HdrStaticMetadataBlock::kExtTag, 0x01, 0x01};

// The first block of block 1 kept verbatim that the decoder reads.
template <typename Decode>
BlockOrderEntry* firstRaw(DataBlockCollection& c, Decode decode) {
    for (BlockOrderEntry& entry : c.blockOrder)
        if (entry.isRaw() && decode(entry.raw))
            return &entry;
    return nullptr;
}

template <typename Decode>
const BlockOrderEntry* firstRaw(const DataBlockCollection& c, Decode decode) {
    return firstRaw(const_cast<DataBlockCollection&>(c), decode);
}

const auto kForum = [](const std::vector<Byte>& b) { return decodeHdmiForumBlock(b); };
const auto kHdr = [](const std::vector<Byte>& b) { return decodeHdrStaticMetadata(b); };
const auto kMap = [](const std::vector<Byte>& b) { return decodeYcbcr420CapabilityMap(b); };
const auto kOnly420 = [](const std::vector<Byte>& b) { return decodeYcbcr420Video(b); };

FieldEdit noSpace() {
    return FieldEdit::refused(kMsgNoSpaceOfExtendedBlock);
}

void setEntryBytes(BlockOrderEntry& entry, std::vector<Byte> bytes) {
    entry.tag = static_cast<int>(getBitRange(bytes[0], 7, 5));
    entry.extTag = entry.tag == kTagExtended && bytes.size() > 1 ? bytes[1] : -1;
    entry.raw = std::move(bytes);
}

// The block's new bytes in place of its old ones, when block 1 has room for
// what they add.
FieldEdit replaceBytes(DataBlockCollection& c, BlockOrderEntry& entry, std::vector<Byte> bytes) {
    const int added = static_cast<int>(bytes.size()) - static_cast<int>(entry.raw.size());
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(kMaxDataBlockSize) ||
        (added > 0 && !hasRoomFor(c, added)))
        return noSpace();
    setEntryBytes(entry, std::move(bytes));
    return FieldEdit::done();
}

// A new block at `at` in the order list (the end by default).
FieldEdit insertBlock(DataBlockCollection& c, std::vector<Byte> bytes, std::ptrdiff_t at = -1) {
    if (!hasRoomFor(c, static_cast<int>(bytes.size())))
        return noSpace();
    BlockOrderEntry entry;
    setEntryBytes(entry, std::move(bytes));
    const auto where = at < 0 ? c.blockOrder.end() : c.blockOrder.begin() + at;
    c.blockOrder.insert(where, std::move(entry));
    return FieldEdit::done();
}

void removeEntry(DataBlockCollection& c, const BlockOrderEntry* entry) {
    if (entry)
        c.blockOrder.erase(c.blockOrder.begin() + (entry - c.blockOrder.data()));
}

// The SVDs of block 1's Video Data Blocks, as the map counts them.
std::vector<ShortVideoCode> blockOneSvds(const DataBlockCollection& c) {
    std::vector<ShortVideoCode> svds;
    if (c.video.present)
        for (int k = 0; k < std::min(c.video.svdCount, VideoDataBlock::kMaxSvds); ++k)
            svds.push_back(svdOf(c.video.svds[static_cast<std::size_t>(k)]));
    for (const BlockOrderEntry& entry : c.blockOrder)
        if (entry.isRaw() && entry.tag == kTagVideo)
            for (std::size_t i = 1; i < entry.raw.size(); ++i)
                svds.push_back(decodeSvd(entry.raw[i]));
    return svds;
}

std::optional<int> vicTyped(std::string_view text) {
    const auto value = digitsValue(text);
    if (!value || *value < 1 || *value > 255 || (*value > 127 && *value < 193))
        return std::nullopt;
    return *value;
}

} // namespace

// ---------------------------------------------------------------------------

std::optional<HdmiForumBlock> hdmiForumBlock(const DataBlockCollection& c) {
    const BlockOrderEntry* entry = firstRaw(c, kForum);
    return entry ? decodeHdmiForumBlock(entry->raw) : std::nullopt;
}

FieldEdit enableHdmiForumBlock(DataBlockCollection& c, bool on) {
    BlockOrderEntry* entry = firstRaw(c, kForum);
    if (!on) {
        removeEntry(c, entry);
        return FieldEdit::done();
    }
    if (entry)
        return FieldEdit::done();
    if (!c.editable || !c.vsdb.present)
        return FieldEdit::refused(kMsgForumNeedsHdmiVsdb);
    if (!hasRoomFor(c, HdmiForumBlock::kMinSize) || ensureInOrder(c, kTagVendorSpecific, -1) == 0)
        return noSpace();
    const auto vsdb = std::find_if(c.blockOrder.begin(), c.blockOrder.end(), [](const auto& e) {
        return !e.isRaw() && e.tag == kTagVendorSpecific;
    });
    return insertBlock(c, encodeHdmiForumBlock(HdmiForumBlock{}),
                       (vsdb - c.blockOrder.begin()) + 1);
}

FieldEdit storeHdmiForumBlock(DataBlockCollection& c, const HdmiForumBlock& block) {
    BlockOrderEntry* entry = firstRaw(c, kForum);
    if (!entry || block.size < HdmiForumBlock::kMinSize || block.size > kMaxDataBlockSize)
        return noSpace();
    return replaceBytes(c, *entry, encodeHdmiForumBlock(block));
}

FieldEdit editHdmiForumLength(DataBlockCollection& c, std::string_view text) {
    auto block = hdmiForumBlock(c);
    if (!block)
        return FieldEdit::nothing();
    const auto length = digitsValue(text);
    if (!length || *length < HdmiForumBlock::kMinSize - 1 || *length > kMaxDataBlockSize - 1)
        return FieldEdit::refused(kMsgForumLength);
    if (*length + 1 == block->size)
        return FieldEdit::nothing();
    // Shortening drops the fields past the end: decoded again they are zero.
    const int size = *length + 1;
    block->size = size;
    std::vector<Byte> bytes = encodeHdmiForumBlock(*block);
    if (const auto cut = decodeHdmiForumBlock(bytes))
        block = cut;
    return storeHdmiForumBlock(c, *block);
}

FieldEdit editMaxTmdsCharacterRate(HdmiForumBlock& block, std::string_view text) {
    const auto value = digitsValue(text);
    if (!value || *value > kMaxTmdsMhz || *value % 5 != 0)
        return FieldEdit::refused(kMsgForumMaxTmds);
    block.maxTmdsCharacterRate = *value / 5;
    return FieldEdit::done();
}

FieldEdit editNumber(int& field, std::string_view text, int highest, const char* message) {
    const auto value = digitsValue(text);
    if (!value || *value > highest)
        return FieldEdit::refused(message);
    field = *value;
    return FieldEdit::done();
}

std::string dscSliceLimitText(int code) {
    const auto limit = dscSliceLimit(code);
    if (!limit)
        return "reserved (" + std::to_string(code) + ")";
    if (limit->slices == 0)
        return "no DSC";
    return std::to_string(limit->slices) + (limit->slices == 1 ? " slice x " : " slices x ") +
           std::to_string(limit->pixelClockMhz) + " MHz";
}

// ---------------------------------------------------------------------------

std::optional<HdrStaticMetadataBlock> hdrStaticMetadata(const DataBlockCollection& c) {
    const BlockOrderEntry* entry = firstRaw(c, kHdr);
    return entry ? decodeHdrStaticMetadata(entry->raw) : std::nullopt;
}

FieldEdit enableHdrStaticMetadata(DataBlockCollection& c, bool on) {
    BlockOrderEntry* entry = firstRaw(c, kHdr);
    if (!on) {
        removeEntry(c, entry);
        return FieldEdit::done();
    }
    if (entry)
        return FieldEdit::done();
    if (!c.editable)
        return FieldEdit::nothing();
    return insertBlock(c, kNewHdrBlock);
}

FieldEdit storeHdrStaticMetadata(DataBlockCollection& c, const HdrStaticMetadataBlock& block) {
    BlockOrderEntry* entry = firstRaw(c, kHdr);
    if (!entry)
        return noSpace();
    return replaceBytes(c, *entry, encodeHdrStaticMetadata(block));
}

int hdrLuminanceCount(const HdrStaticMetadataBlock& block) {
    if (block.minLuminance)
        return 3;
    if (block.maxFrameAverageLuminance)
        return 2;
    return block.maxLuminance ? 1 : 0;
}

void setHdrLuminanceCount(HdrStaticMetadataBlock& block, int count) {
    count = std::clamp(count, 0, kMaxLuminanceCodes);
    std::optional<int>* const codes[] = {&block.maxLuminance, &block.maxFrameAverageLuminance,
                                         &block.minLuminance};
    for (int i = 0; i < kMaxLuminanceCodes; ++i) {
        std::optional<int>& code = *codes[i];
        if (i < count)
            code = code.value_or(0);
        else
            code.reset();
    }
    if (count < kMaxLuminanceCodes)
        block.trailing.clear();
}

std::string luminanceText(double candelasPerSquareMetre) {
    char text[48];
    std::snprintf(text, sizeof text, "%.3f cd/m\u00b2", candelasPerSquareMetre);
    return text;
}

// ---------------------------------------------------------------------------

bool hasYcbcr420Map(const DataBlockCollection& c) {
    return firstRaw(c, kMap) != nullptr;
}

bool ycbcr420MapsEverySvd(const DataBlockCollection& c) {
    const BlockOrderEntry* entry = firstRaw(c, kMap);
    return entry && decodeYcbcr420CapabilityMap(entry->raw)->bitmap.empty();
}

std::vector<Ycbcr420MapItem> ycbcr420MapItems(const DataBlockCollection& c) {
    const std::vector<ShortVideoCode> svds = blockOneSvds(c);
    const BlockOrderEntry* entry = firstRaw(c, kMap);
    const auto map = entry ? decodeYcbcr420CapabilityMap(entry->raw) : std::nullopt;
    std::vector<Ycbcr420MapItem> items;
    for (int i = 0; i < static_cast<int>(svds.size()); ++i) {
        const ShortVideoCode& svd = svds[static_cast<std::size_t>(i)];
        items.push_back({i, svd.vic, svd.native, map && ycbcr420Maps(*map, i)});
    }
    if (map)
        for (const int bit : ycbcr420MappedSvds(*map, static_cast<int>(svds.size())))
            if (bit >= static_cast<int>(svds.size()))
                items.push_back({bit, 0, false, true});
    return items;
}

FieldEdit markYcbcr420Svd(DataBlockCollection& c, int index, bool mapped) {
    const int svdCount = static_cast<int>(blockOneSvds(c).size());
    BlockOrderEntry* entry = firstRaw(c, kMap);
    Ycbcr420CapabilityMap map;
    if (entry)
        map = *decodeYcbcr420CapabilityMap(entry->raw);
    else if (!mapped || !c.editable)
        return FieldEdit::nothing();
    else
        map.bitmap.push_back(0); // a new map marks no SVD until the bit is set
    if (!setYcbcr420Mapped(map, index, mapped, svdCount))
        return FieldEdit::nothing();
    if (std::none_of(map.bitmap.begin(), map.bitmap.end(), [](Byte b) { return b != 0; })) {
        removeEntry(c, entry);
        return FieldEdit::done();
    }
    if (!entry)
        return insertBlock(c, encodeYcbcr420CapabilityMap(map));
    return replaceBytes(c, *entry, encodeYcbcr420CapabilityMap(map));
}

FieldEdit setYcbcr420MapsEverySvd(DataBlockCollection& c, bool every) {
    BlockOrderEntry* entry = firstRaw(c, kMap);
    if (every) {
        if (!entry)
            return c.editable ? insertBlock(c, encodeYcbcr420CapabilityMap({}))
                              : FieldEdit::nothing();
        return replaceBytes(c, *entry, encodeYcbcr420CapabilityMap({}));
    }
    if (!entry || !decodeYcbcr420CapabilityMap(entry->raw)->bitmap.empty())
        return FieldEdit::nothing();
    const int svdCount =
        std::min(static_cast<int>(blockOneSvds(c).size()), Ycbcr420CapabilityMap::kMaxBytes * 8);
    Ycbcr420CapabilityMap map;
    map.bitmap.assign(static_cast<std::size_t>((svdCount + 7) / 8), 0);
    for (int i = 0; i < svdCount; ++i)
        map.bitmap[static_cast<std::size_t>(i / 8)] |= static_cast<Byte>(1u << (i % 8));
    if (map.bitmap.empty()) {
        removeEntry(c, entry);
        return FieldEdit::done();
    }
    return replaceBytes(c, *entry, encodeYcbcr420CapabilityMap(map));
}

std::string ycbcr420ItemText(const Ycbcr420MapItem& item) {
    if (item.vic == 0)
        return "bit " + std::to_string(item.index) + ": no SVD";
    std::string text = "VIC " + std::to_string(item.vic);
    if (const auto name = videoFormatName(item.vic))
        text += ": " + std::string(*name);
    return item.native ? text + " (native)" : text;
}

// ---------------------------------------------------------------------------

std::vector<ShortVideoCode> ycbcr420OnlyVics(const DataBlockCollection& c) {
    const BlockOrderEntry* entry = firstRaw(c, kOnly420);
    return entry ? decodeYcbcr420Video(entry->raw)->svds : std::vector<ShortVideoCode>{};
}

FieldEdit addYcbcr420OnlyVic(DataBlockCollection& c, std::string_view text) {
    if (!c.editable || text.empty())
        return FieldEdit::nothing();
    const auto vic = vicTyped(text);
    if (!vic)
        return FieldEdit::refused(kMsgVic);
    BlockOrderEntry* entry = firstRaw(c, kOnly420);
    Ycbcr420VideoBlock block;
    if (entry)
        block = *decodeYcbcr420Video(entry->raw);
    if (static_cast<int>(block.svds.size()) >= Ycbcr420VideoBlock::kMaxSvds)
        return noSpace();
    block.svds.push_back({*vic, false});
    if (!entry)
        return insertBlock(c, encodeYcbcr420Video(block));
    return replaceBytes(c, *entry, encodeYcbcr420Video(block));
}

FieldEdit removeYcbcr420OnlyVic(DataBlockCollection& c, int index) {
    BlockOrderEntry* entry = firstRaw(c, kOnly420);
    if (!entry)
        return FieldEdit::nothing();
    Ycbcr420VideoBlock block = *decodeYcbcr420Video(entry->raw);
    if (index < 0 || index >= static_cast<int>(block.svds.size()))
        return FieldEdit::nothing();
    block.svds.erase(block.svds.begin() + index);
    if (block.svds.empty()) {
        removeEntry(c, entry);
        return FieldEdit::done();
    }
    return replaceBytes(c, *entry, encodeYcbcr420Video(block));
}

bool setYcbcr420OnlyNative(DataBlockCollection& c, int index, bool native) {
    BlockOrderEntry* entry = firstRaw(c, kOnly420);
    if (!entry)
        return false;
    Ycbcr420VideoBlock block = *decodeYcbcr420Video(entry->raw);
    if (index < 0 || index >= static_cast<int>(block.svds.size()))
        return false;
    ShortVideoCode& svd = block.svds[static_cast<std::size_t>(index)];
    if (native && (svd.vic < 1 || svd.vic > 64))
        return false;
    svd.native = native;
    return replaceBytes(c, *entry, encodeYcbcr420Video(block)).stored;
}

// ---------------------------------------------------------------------------

ColorimetryBits colorimetryBitsOf(const ColorimetryBlock& block) {
    if (!block.present)
        return {};
    return decodeColorimetryBits(writeColorimetryBlock(block)).value_or(ColorimetryBits{});
}

void setColorimetryBits(ColorimetryBlock& block, const ColorimetryBits& bits) {
    if (!block.present)
        return;
    const int offset = block.offset;
    if (readColorimetryBlock(encodeColorimetryBits(bits), block))
        block.offset = offset;
}

ShortVideoCode svdOf(const ShortVideoDescriptor& svd) {
    return {svd.vic, svd.native};
}

} // namespace pellam
