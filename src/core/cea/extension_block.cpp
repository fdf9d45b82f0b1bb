#include "core/cea/extension_block.h"

#include "core/cea/data_block_codecs.h"
#include "core/edid/hex.h"

#include <algorithm>
#include <span>

namespace pellam {

namespace {

constexpr int kCeaExtensionTag = 0x02;
constexpr int kMinDtdOffset = 4;   // no data blocks
constexpr int kMaxDtdOffset = 127; // data blocks up to byte 254

// What the walk and the writer need of each modelled kind: where its record
// lives, how its block is read and written.
struct KindOps {
    int tag;
    int extTag; // tag 7 only
    bool (*present)(const DataBlockCollection&);
    int (*size)(const DataBlockCollection&);
    // Fills the record from the block at offset; false leaves it untouched.
    bool (*read)(BlockBytes, int offset, DataBlockCollection&);
    // The record's bytes, written at offset (which the record keeps).
    std::vector<Byte> (*write)(DataBlockCollection&, int offset);
};

template <typename Record, Record DataBlockCollection::*member, bool (*reader)(BlockBytes, Record&),
          std::vector<Byte> (*writer)(const Record&)>
constexpr KindOps kindOps(int tag, int extTag) {
    return {
        tag,
        extTag,
        [](const DataBlockCollection& c) { return (c.*member).present; },
        [](const DataBlockCollection& c) { return (c.*member).size; },
        [](BlockBytes block, int offset, DataBlockCollection& c) {
            if (!reader(block, c.*member))
                return false;
            (c.*member).offset = offset;
            return true;
        },
        [](DataBlockCollection& c, int offset) {
            (c.*member).offset = offset;
            return writer(c.*member);
        },
    };
}

// The modelled kinds in the fixed order in which kinds created after a parse
// are appended.
constexpr KindOps kModelledKinds[] = {
    kindOps<VideoDataBlock, &DataBlockCollection::video, readVideoDataBlock, writeVideoDataBlock>(
        kTagVideo, -1),
    kindOps<AudioDataBlock, &DataBlockCollection::audio, readAudioDataBlock, writeAudioDataBlock>(
        kTagAudio, -1),
    kindOps<SpeakerAllocationBlock, &DataBlockCollection::speaker, readSpeakerAllocationBlock,
            writeSpeakerAllocationBlock>(kTagSpeakerAllocation, -1),
    kindOps<HdmiVsdb, &DataBlockCollection::vsdb, readHdmiVsdb, writeHdmiVsdb>(kTagVendorSpecific,
                                                                               -1),
    kindOps<VideoCapabilityBlock, &DataBlockCollection::videoCapability, readVideoCapabilityBlock,
            writeVideoCapabilityBlock>(kTagExtended, kExtTagVideoCapability),
    kindOps<ColorimetryBlock, &DataBlockCollection::colorimetry, readColorimetryBlock,
            writeColorimetryBlock>(kTagExtended, kExtTagColorimetry),
};

// The modelled kind an order entry or block header names; none for others.
const KindOps* kindOf(int tag, int extTag) {
    for (const KindOps& k : kModelledKinds)
        if (k.tag == tag && (tag != kTagExtended || k.extTag == extTag))
            return &k;
    return nullptr;
}

// Reads the block into its record when it is the first readable block of a
// modelled kind (a tag-3 block only with the HDMI OUI); false means the block
// is kept verbatim instead.
bool readIntoRecord(BlockBytes block, int offset, DataBlockCollection& c) {
    const int tag = static_cast<int>(getBitRange(block[0], 7, 5));
    const int extTag = (tag == kTagExtended && block.size() > 1) ? block[1] : -1;
    const KindOps* kind = kindOf(tag, extTag);
    return kind && !kind->present(c) && kind->read(block, offset, c);
}

bool layoutFits(const DataBlockCollection& c) {
    for (const KindOps& k : kModelledKinds) {
        if (k.present(c) && (k.size(c) < 1 || k.size(c) > kMaxDataBlockSize))
            return false;
    }
    return c.timings.count >= 0 && c.timings.count <= ExtensionTimingList::kCapacity &&
           hasRoomFor(c, 0);
}

std::string hexTag(int value) {
    return hexByteH(static_cast<Byte>(value));
}

// The detailed timings from the DTD start up to the first record that is not
// one (or one that would reach the checksum byte), and the 18-byte records
// after them up to the last that holds anything but zeros (display
// descriptors such as a product serial number): those are kept as they are,
// right after the timings, when the block is written back.
int scanTimings(std::span<const Byte> block, int baseOffset, ExtensionTimingList& list,
                std::vector<DtdRecord>& records) {
    list = {};
    records.clear();
    int q = block[2];
    // A descriptor must end at or before the byte before the checksum.
    while (q + static_cast<int>(kDtdSize) < static_cast<int>(kBlockSize) &&
           list.count < ExtensionTimingList::kCapacity) {
        const DtdBytes bytes(block.data() + q, kDtdSize);
        if (!isDetailedTiming(bytes))
            break;
        DetailedTiming& timing = list.timings[static_cast<std::size_t>(list.count++)];
        timing = decodeDetailedTiming(bytes);
        timing.slotOffset = baseOffset + q;
        q += static_cast<int>(kDtdSize);
    }
    // Every record from there up to the last one that holds anything but
    // zeros: a record of zeros before it stays too, as it ends the list of
    // timings for whoever reads the block.
    std::size_t last = 0;
    for (; q + static_cast<int>(kDtdSize) < static_cast<int>(kBlockSize);
         q += static_cast<int>(kDtdSize)) {
        const DtdBytes bytes(block.data() + q, kDtdSize);
        DtdRecord& record = records.emplace_back();
        std::copy(bytes.begin(), bytes.end(), record.begin());
        if (std::any_of(bytes.begin(), bytes.end(), [](Byte b) { return b != 0; }))
            last = records.size();
    }
    records.resize(last);
    return list.count;
}

} // namespace

ExtensionBlockStatus extensionBlockStatus(const EdidImage& image) {
    return ctaBlockStatus(std::span<const Byte>(image.begin() + kBlock1Offset, kBlockSize), 1);
}

ExtensionBlockStatus ctaBlockStatus(std::span<const Byte> block, int blockNumber) {
    const std::string name = "Block " + std::to_string(blockNumber);
    const int tag = block[0];
    const int d = block[2];
    if (tag == kCeaExtensionTag && d >= kMinDtdOffset && d <= kMaxDtdOffset)
        return {true, {}};
    const auto allBytes = [&](Byte value) {
        return std::all_of(block.begin(), block.end(), [&](Byte b) { return b == value; });
    };
    const char* gridHint = "; edit it in the grid.";
    if (allBytes(0x00))
        return {false, name + " is empty (all bytes 00h)" + gridHint};
    if (allBytes(0xFF))
        return {false, name + " is empty (all bytes FFh)" + gridHint};
    if (tag == kCeaExtensionTag)
        return {false, name + " is a CTA-861 extension whose DTD offset (byte " +
                           std::to_string(blockNumber * kBlockSize + 2) + " = " + hexTag(d) +
                           ") is outside 04h..7Fh" + gridHint};
    std::string what;
    switch (tag) {
    case 0x10:
        what = "a video timing block extension (tag 10h)";
        break;
    case 0x40:
        what = "a display information extension (tag 40h)";
        break;
    case 0x50:
        what = "a localized string extension (tag 50h)";
        break;
    case 0x60:
        what = "a digital packet video link extension (tag 60h)";
        break;
    case 0x70:
        what = "a DisplayID extension (tag 70h)";
        break;
    case 0xF0:
        what = "a block map (tag F0h)";
        break;
    case 0xFF:
        what = "a manufacturer extension (tag FFh)";
        break;
    default:
        what = "not a CTA-861 extension (tag " + hexTag(tag) + ")";
        break;
    }
    return {false, name + " is " + what + gridHint};
}

int scanExtensionTimings(const EdidImage& image, ExtensionTimingList& list) {
    const std::span<const Byte> block(image.begin() + kBlock1Offset, kBlockSize);
    list = {};
    if (!ctaBlockStatus(block, 1).editable)
        return 0;
    std::vector<DtdRecord> unused;
    return scanTimings(block, static_cast<int>(kBlock1Offset), list, unused);
}

void parseExtensionBlock(const EdidImage& image, DataBlockCollection& c) {
    parseCtaBlock(std::span<const Byte>(image.begin() + kBlock1Offset, kBlockSize),
                  static_cast<int>(kBlock1Offset), c);
}

void parseCtaBlock(std::span<const Byte> block, int baseOffset, DataBlockCollection& c) {
    c = {};
    const ExtensionBlockStatus status =
        ctaBlockStatus(block, baseOffset / static_cast<int>(kBlockSize));
    c.editable = status.editable;
    c.note = status.note;
    if (!c.editable)
        return;

    // Offsets in the collection are offsets into the whole image.
    const auto at = [&](int offset) { return block[static_cast<std::size_t>(offset - baseOffset)]; };
    const Byte flags = block[3];
    c.header.tag = block[0];
    c.header.revision = block[1];
    c.header.underscan = getBit(flags, 7);
    c.header.basicAudio = getBit(flags, 6);
    c.header.ycbcr444 = getBit(flags, 5);
    c.header.ycbcr422 = getBit(flags, 4);
    c.header.nativeDtdCount = static_cast<int>(getBitRange(flags, 3, 0));
    c.dtdStart = baseOffset + block[2];

    // Every block advances by its length + 1, whatever its tag; the last one
    // is cut at the DTD start when its length field claims more.
    int p = baseOffset + kFirstDataBlockOffset - static_cast<int>(kBlock1Offset);
    while (p < c.dtdStart) {
        const int length = static_cast<int>(getBitRange(at(p), 4, 0));
        const int end = std::min(p + 1 + length, c.dtdStart);
        const BlockBytes bytes = block.subspan(static_cast<std::size_t>(p - baseOffset),
                                               static_cast<std::size_t>(end - p));
        const int tag = static_cast<int>(getBitRange(bytes[0], 7, 5));
        const int extTag = (tag == kTagExtended && bytes.size() > 1) ? bytes[1] : -1;
        const bool complete = end - p == 1 + length;
        BlockOrderEntry entry{tag, extTag, {}};
        if (!complete || !readIntoRecord(bytes, p, c))
            entry.raw.assign(bytes.begin(), bytes.end());
        c.blockOrder.push_back(std::move(entry));
        p = end;
    }

    scanTimings(block, baseOffset, c.timings, c.dtdAreaRecords);
}

int usedExtensionBytes(const DataBlockCollection& c) {
    int used = 4 + 1; // tag, revision, d, flags; checksum
    for (const KindOps& k : kModelledKinds)
        if (k.present(c))
            used += std::max(k.size(c), 0);
    for (const BlockOrderEntry& entry : c.blockOrder)
        used += static_cast<int>(entry.raw.size());
    used += static_cast<int>(kDtdSize) * std::max(c.timings.count, 0);
    used += static_cast<int>(kDtdSize * c.dtdAreaRecords.size());
    return used;
}

bool hasRoomFor(const DataBlockCollection& c, int n) {
    return usedExtensionBytes(c) + n <= static_cast<int>(kBlockSize);
}

int ensureInOrder(DataBlockCollection& c, int tag, int extTag) {
    int modelled = 0;
    for (const BlockOrderEntry& entry : c.blockOrder) {
        if (entry.isRaw())
            continue;
        if (entry.tag == tag && (tag != kTagExtended || entry.extTag == extTag))
            return 2;
        ++modelled;
    }
    if (modelled >= DataBlockCollection::kMaxModelledEntries)
        return 0;
    c.blockOrder.push_back({tag, tag == kTagExtended ? extTag : -1, {}});
    return 1;
}

bool rebuildExtensionBlock(EdidImage& image, DataBlockCollection& c) {
    return rebuildCtaBlock(std::span<Byte>(image.begin() + kBlock1Offset, kBlockSize),
                           static_cast<int>(kBlock1Offset), c);
}

bool rebuildCtaBlock(std::span<Byte> block, int baseOffset, DataBlockCollection& c) {
    if (!c.editable || !layoutFits(c))
        return false;
    for (const KindOps& k : kModelledKinds)
        if (k.present(c))
            ensureInOrder(c, k.tag, k.extTag);

    const std::vector<Byte> before(block.begin(), block.end());
    std::vector<Byte> out;
    out.reserve(kBlockSize);
    out.push_back(static_cast<Byte>(c.header.tag));
    out.push_back(static_cast<Byte>(c.header.revision));
    out.push_back(0); // d, once the data blocks are laid out
    out.push_back(static_cast<Byte>(c.header.underscan << 7 | c.header.basicAudio << 6 |
                                    c.header.ycbcr444 << 5 | c.header.ycbcr422 << 4 |
                                    (c.header.nativeDtdCount & 15)));

    std::vector<const KindOps*> written;
    for (const BlockOrderEntry& entry : c.blockOrder) {
        const int p = baseOffset + static_cast<int>(out.size());
        if (entry.isRaw()) {
            out.insert(out.end(), entry.raw.begin(), entry.raw.end());
            continue;
        }
        // Only the first entry of a present kind writes its record.
        const KindOps* kind = kindOf(entry.tag, entry.extTag);
        if (!kind || !kind->present(c) ||
            std::find(written.begin(), written.end(), kind) != written.end())
            continue;
        written.push_back(kind);
        const std::vector<Byte> bytes = kind->write(c, p);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    out[2] = static_cast<Byte>(out.size());

    for (int i = 0; i < c.timings.count; ++i) {
        DetailedTiming& timing = c.timings.timings[static_cast<std::size_t>(i)];
        // Byte 17 bit 0 means nothing in normal (non-stereo) mode and keeps
        // what the descriptor had where it was read, even when it moves.
        std::array<Byte, kDtdSize> slot{};
        const int local = timing.slotOffset - baseOffset;
        if (local >= 0 && local + static_cast<int>(kDtdSize) <= static_cast<int>(kBlockSize))
            std::copy_n(before.begin() + local, kDtdSize, slot.begin());
        encodeDetailedTiming(timing, slot);
        timing.slotOffset = baseOffset + static_cast<int>(out.size());
        out.insert(out.end(), slot.begin(), slot.end());
    }
    for (const DtdRecord& record : c.dtdAreaRecords)
        out.insert(out.end(), record.begin(), record.end());
    out.resize(kBlockSize - 1, 0); // padding up to the byte before the checksum, which is not ours
    std::copy(out.begin(), out.end(), block.begin());
    c.dtdStart = baseOffset + out[2];
    return true;
}

void ExtensionBlockModel::parse(const EdidImage& image) {
    parseExtensionBlock(image, m_collection);
    m_lastWritten = m_collection;
}

ExtensionBlockModel::RebuildResult ExtensionBlockModel::rebuildIfModified(EdidImage& image) {
    if (!m_collection.editable || !modified())
        return RebuildResult::Unchanged;
    if (!rebuildExtensionBlock(image, m_collection))
        return RebuildResult::NoSpace;
    m_lastWritten = m_collection;
    return RebuildResult::Rebuilt;
}

} // namespace pellam
