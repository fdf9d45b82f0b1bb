// An EDID of any length as files and sinks hold it: block 0 and as many
// extension blocks of 128 bytes as it has, up to the 256 blocks (32 KiB)
// that E-DDC can address. The checks a file gets before the editor takes it:
// what was found, and what was done about it.
#pragma once

#include "core/edid/edid_image.h"

#include <span>
#include <string>
#include <vector>

namespace pellam {

using EdidBytes = std::vector<Byte>;

inline constexpr std::size_t kMaxEdidBlocks = 256;
inline constexpr std::size_t kMaxEdidSize = kMaxEdidBlocks * kBlockSize;

// Blocks the bytes fill, a partial last block counted.
std::size_t blockCountOf(std::size_t length);

// The checksum block k must have, from its first 127 bytes. The block must
// lie whole within the bytes.
Byte blockChecksum(std::span<const Byte> bytes, std::size_t block);
// Writes the checksum of every whole block when autoChecksum is on.
void applyBlockChecksums(std::span<Byte> bytes, bool autoChecksum);

bool hasEdidHeader(std::span<const Byte> bytes);

// The kind of an extension block by its tag (its first byte): "CTA-861",
// "DisplayID", "block map", ...; "tag 42h" for a tag no standard names.
std::string extensionKindName(Byte tag);
// "4 blocks: base, CTA-861, CTA-861, DisplayID"; "1 block: base".
std::string blockListText(std::span<const Byte> bytes);

// What a file's bytes were found to be before the editor or a verb takes them.
struct EdidCheck {
    // Nothing can be made of the bytes (empty, too large, no EDID header):
    // the message says why, and nothing is taken.
    bool refused = false;
    std::string refusal;
    // The bytes to take: as read, or padded or cut when `repair` was asked.
    EdidBytes bytes;
    // One line per finding: what was found and what was done.
    std::vector<std::string> notes;
    // Blocks whose checksum byte is wrong, as read.
    std::vector<std::size_t> badChecksums;
};

struct EdidCheckOptions {
    // Pad a partial last block with 00h and cut a read that wrapped around
    // to the blocks byte 126 declares (the editor); without it the bytes are
    // kept exactly as read and only the notes say what was found (the verbs
    // of pellam-cli, whose output has the length of their input).
    bool repair = true;
    // Say that wrong checksums are corrected (the editor with automatic
    // checksums on), or that they stay as read.
    bool checksumsCorrected = false;
};

EdidCheck checkEdidBytes(EdidBytes bytes, const EdidCheckOptions& options = {});

} // namespace pellam
