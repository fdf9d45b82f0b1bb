// Reading block 1 into the data block collection and writing it back.
#pragma once

#include "core/cea/data_block_collection.h"
#include "core/edid/edid_image.h"

#include <span>

namespace pellam {

inline constexpr const char* kMsgNoSpaceOfExtendedBlock = "No Space of Extended Block";

// Image offset of the first data block (after tag, revision, d and flags).
inline constexpr int kFirstDataBlockOffset = 132;

// Whether block 1 can be edited through the collection: a CTA-861 extension
// (tag 02h) whose DTD offset d (byte 130) is 4..127. Otherwise `note` says
// what block 1 holds, in one line for the block-1 pages.
struct ExtensionBlockStatus {
    bool editable = false;
    std::string note;
};
ExtensionBlockStatus extensionBlockStatus(const EdidImage& image);
// The same for any extension block (128 bytes) of an image, the note naming
// it by its number.
ExtensionBlockStatus ctaBlockStatus(std::span<const Byte> block, int blockNumber);

// Refills the list with the detailed timings of block 1, from the DTD start
// up to the first record that is not a timing (a zero pixel clock) or one
// that would reach the checksum byte; returns the count. Empty when block 1
// is not editable.
int scanExtensionTimings(const EdidImage& image, ExtensionTimingList& list);

// Clears the collection and reads block 1 into it. Reads the image only.
void parseExtensionBlock(const EdidImage& image, DataBlockCollection& collection);
// The same for any CTA-861 extension block (128 bytes) that starts at
// baseOffset in the image; the collection's offsets are image offsets.
void parseCtaBlock(std::span<const Byte> block, int baseOffset, DataBlockCollection& collection);

// Writes image bytes 128..254 from the collection and sets every written
// record's offset and every timing's slotOffset; never writes byte 255. The
// records of the detailed timing area that are not timings follow the
// timings; only the padding after them becomes zero. Writes nothing and
// returns false when block 1 is not editable or the layout does not fit
// (hasRoomFor(0) is false, or a block's size is outside 1..32): the image
// keeps its old block 1.
bool rebuildExtensionBlock(EdidImage& image, DataBlockCollection& collection);
// The same for any CTA-861 extension block read by parseCtaBlock.
bool rebuildCtaBlock(std::span<Byte> block, int baseOffset, DataBlockCollection& collection);

// Whether the layout plus n more bytes fits in block 1: 4 header bytes, the
// checksum, every present block and every block kept verbatim, and 18 bytes
// per detailed timing and per other record kept, at most 128 in all.
bool hasRoomFor(const DataBlockCollection& collection, int n);

// Bytes the layout takes now (the left side of the capacity rule).
int usedExtensionBytes(const DataBlockCollection& collection);

// Puts a modelled kind in the order list: 2 when it is there already, 1 when
// appended, 0 when the list holds its limit of modelled kinds.
int ensureInOrder(DataBlockCollection& collection, int tag, int extTag);

// The collection as the block-1 pages edit it, with the state the last parse
// (or rebuild) left, so that leaving a page without a change leaves block 1
// exactly as it was.
class ExtensionBlockModel {
public:
    enum class RebuildResult {
        Unchanged, // nothing changed since the last parse or rebuild, or not editable
        Rebuilt,   // block 1 written from the collection
        NoSpace,   // the layout does not fit; block 1 kept as it was
    };

    void parse(const EdidImage& image);
    bool modified() const { return m_collection != m_lastWritten; }
    RebuildResult rebuildIfModified(EdidImage& image);

    DataBlockCollection& collection() { return m_collection; }
    const DataBlockCollection& collection() const { return m_collection; }

    bool operator==(const ExtensionBlockModel&) const = default;

private:
    DataBlockCollection m_collection;
    DataBlockCollection m_lastWritten;
};

} // namespace pellam
