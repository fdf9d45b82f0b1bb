#include "core/cea/video_block_edits.h"

#include "core/cea/modern_blocks.h"

#include "core/cea/cea_formats.h"
#include "core/cea/extension_block.h"
#include "core/edid/decimal.h"

#include <algorithm>
#include <cstdio>

namespace pellam {

std::string notAValidIntegerMessage(std::string_view text) {
    return "'" + std::string(text) + "' is not a valid integer value";
}

std::string videoFormatItemText(int vic) {
    const auto name = videoFormatName(vic);
    char number[8];
    std::snprintf(number, sizeof number, "#%2d, ", vic);
    return number + std::string(name ? *name : "reserved code");
}

std::optional<int> vicFromItemText(std::string_view text) {
    if (text.empty() || text.front() != '#')
        return std::nullopt;
    text.remove_prefix(1);
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos)
        return std::nullopt;
    return digitsValue(text.substr(0, comma));
}

bool nativeFlagAllowed(int vic) {
    return vic >= 1 && vic <= 64;
}

VideoFormatLists videoFormatLists(const VideoDataBlock& video) {
    // Every defined VIC, and the codes of the block's SVDs that no format
    // has, so that what the block holds is always shown.
    std::vector<int> vics(definedVics().begin(), definedVics().end());
    const int count = video.present ? std::min(video.svdCount, VideoDataBlock::kMaxSvds) : 0;
    for (int k = 0; k < count; ++k)
        vics.push_back(video.svds[static_cast<std::size_t>(k)].vic);
    std::sort(vics.begin(), vics.end());
    vics.erase(std::unique(vics.begin(), vics.end()), vics.end());

    VideoFormatLists lists;
    for (const int vic : vics) {
        const int first = firstSvdWithVic(video, vic);
        if (first >= 0)
            lists.inBlock.push_back({vic, video.svds[static_cast<std::size_t>(first)].native});
        else
            lists.notInBlock.push_back(vic);
    }
    return lists;
}

int firstSvdWithVic(const VideoDataBlock& video, int vic) {
    if (!video.present)
        return -1;
    const int count = std::min(video.svdCount, VideoDataBlock::kMaxSvds);
    for (int k = 0; k < count; ++k)
        if (video.svds[static_cast<std::size_t>(k)].vic == vic)
            return k;
    return -1;
}

namespace {

// The YCbCr 4:2:0 Capability Map Data Block of the collection, kept as read
// in the order list: bit i of its bitmap is the i-th SVD of the video data
// blocks, the modelled one first.
BlockOrderEntry* capabilityMapEntry(DataBlockCollection& c) {
    for (BlockOrderEntry& entry : c.blockOrder)
        if (entry.isRaw() && entry.tag == kTagExtended &&
            entry.extTag == Ycbcr420CapabilityMap::kExtTag)
            return &entry;
    return nullptr;
}

int svdsInRawVideoBlocks(const DataBlockCollection& c) {
    int count = 0;
    for (const BlockOrderEntry& entry : c.blockOrder)
        if (entry.isRaw() && entry.tag == kTagVideo)
            count += static_cast<int>(entry.raw.size()) - 1;
    return count;
}

std::vector<bool> mapBits(const Ycbcr420CapabilityMap& map) {
    std::vector<bool> bits;
    for (int i = 0; i < static_cast<int>(map.bitmap.size()) * 8; ++i)
        bits.push_back(ycbcr420Maps(map, i));
    return bits;
}

// The bitmap for the bits, as many bytes as before unless a set bit needs more.
std::vector<Byte> bitmapOf(const std::vector<bool>& bits, std::size_t bytes) {
    for (std::size_t i = 0; i < bits.size(); ++i)
        if (bits[i])
            bytes = std::max(bytes, i / 8 + 1);
    std::vector<Byte> bitmap(bytes, 0);
    for (std::size_t i = 0; i < bits.size() && i / 8 < bytes; ++i)
        if (bits[i])
            bitmap[i / 8] |= static_cast<Byte>(1u << (i % 8));
    return bitmap;
}

// The map once an SVD is inserted at index (the SVDs from it on move up):
// the new SVD is not marked. A map that marks every SVD is written out first,
// so that the new one is not taken as 4:2:0-capable too.
std::vector<Byte> mapWithInsertedSvd(const Ycbcr420CapabilityMap& map, int index, int svdsBefore) {
    std::vector<bool> bits = mapBits(map);
    if (map.bitmap.empty())
        bits.assign(static_cast<std::size_t>(svdsBefore), true);
    if (static_cast<int>(bits.size()) < index)
        bits.resize(static_cast<std::size_t>(index), false);
    bits.insert(bits.begin() + index, false);
    return bitmapOf(bits, map.bitmap.size());
}

} // namespace

FieldEdit addShortVideoDescriptor(DataBlockCollection& c, int vic) {
    VideoDataBlock& video = c.video;
    const int count = video.present ? video.svdCount : 0;
    int added = video.present ? 1 : 2;
    // The new SVD goes after the modelled block's last one; the 4:2:0 map's
    // bits of the SVDs after it move up with them.
    BlockOrderEntry* mapEntry = capabilityMapEntry(c);
    std::vector<Byte> newMap;
    if (mapEntry) {
        const auto map = decodeYcbcr420CapabilityMap(mapEntry->raw);
        if (map) {
            newMap = encodeYcbcr420CapabilityMap(
                {mapWithInsertedSvd(*map, count, count + svdsInRawVideoBlocks(c))});
            added += static_cast<int>(newMap.size()) - static_cast<int>(mapEntry->raw.size());
        }
    }
    if (count >= kMaxSvdsInBlock || !hasRoomFor(c, added) || newMap.size() > kMaxDataBlockSize)
        return FieldEdit::refused(kMsgNoSpaceOfExtendedBlock);
    if (!newMap.empty())
        mapEntry->raw = newMap;
    if (!video.present)
        video = {};
    video.svds[static_cast<std::size_t>(count)] = {false, vic};
    video.svdCount = count + 1;
    video.size = video.svdCount + 1;
    video.present = true;
    return FieldEdit::done();
}

bool removeShortVideoDescriptor(DataBlockCollection& c, int vic) {
    VideoDataBlock& video = c.video;
    const int first = firstSvdWithVic(video, vic);
    if (first < 0)
        return false;
    for (int k = first; k + 1 < video.svdCount; ++k)
        video.svds[static_cast<std::size_t>(k)] = video.svds[static_cast<std::size_t>(k + 1)];
    --video.svdCount;
    video.svds[static_cast<std::size_t>(video.svdCount)] = {};
    video.size = video.svdCount + 1;
    if (video.svdCount < 1)
        video = {};

    // The removed SVD takes its 4:2:0 bit along; the bits after it move down.
    // A map that marks every SVD still does. One that no longer marks any
    // SVD is removed: CTA-861 reads a map without bitmap bytes as marking
    // every SVD, so it cannot be kept empty.
    if (BlockOrderEntry* mapEntry = capabilityMapEntry(c)) {
        const auto map = decodeYcbcr420CapabilityMap(mapEntry->raw);
        if (map && !map->bitmap.empty()) {
            std::vector<bool> bits = mapBits(*map);
            if (first < static_cast<int>(bits.size()))
                bits.erase(bits.begin() + first);
            if (std::none_of(bits.begin(), bits.end(), [](bool b) { return b; })) {
                c.blockOrder.erase(c.blockOrder.begin() + (mapEntry - c.blockOrder.data()));
            } else {
                mapEntry->raw = encodeYcbcr420CapabilityMap({bitmapOf(bits, map->bitmap.size())});
            }
        }
    }
    return true;
}

bool setNativeFlag(VideoDataBlock& video, int vic, bool native) {
    const int first = firstSvdWithVic(video, vic);
    if (first < 0 || (native && !nativeFlagAllowed(vic)))
        return false;
    video.svds[static_cast<std::size_t>(first)].native = native;
    return true;
}

FieldEdit editNativeDtdCount(CeaHeader& header, std::string_view text) {
    if (!text.empty() && !isDigitsOnly(text))
        return FieldEdit::refused(kMsgInvalidData);
    const auto value = digitsValue(text);
    if (!value)
        return FieldEdit::refused(notAValidIntegerMessage(text));
    // Four bits of byte 3: never cut to them.
    if (*value > 15)
        return FieldEdit::refused("Should be 0 ~ 15");
    header.nativeDtdCount = *value;
    return FieldEdit::done();
}

FieldEdit editRevision(CeaHeader& header, std::string_view text) {
    const auto value = digitsValue(text);
    if (!value)
        return FieldEdit::refused(notAValidIntegerMessage(text));
    if (*value > 255)
        return FieldEdit::refused("Should be 0 ~ 255");
    header.revision = *value;
    return FieldEdit::done();
}

} // namespace pellam
