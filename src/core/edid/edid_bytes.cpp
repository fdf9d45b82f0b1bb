#include "core/edid/edid_bytes.h"

#include "core/edid/hex.h"

#include <algorithm>
#include <numeric>

namespace pellam {

namespace {

std::string plural(std::size_t n, const std::string& word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

// True when every byte after the first `length` repeats the first `length`
// bytes: an EEPROM smaller than the read wrapped around to its address 0.
bool repeatsItself(std::span<const Byte> bytes, std::size_t length) {
    if (length == 0 || bytes.size() <= length)
        return false;
    for (std::size_t i = length; i < bytes.size(); ++i)
        if (bytes[i] != bytes[i % length])
            return false;
    return true;
}

} // namespace

std::size_t blockCountOf(std::size_t length) {
    return (length + kBlockSize - 1) / kBlockSize;
}

Byte blockChecksum(std::span<const Byte> bytes, std::size_t block) {
    const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(block * kBlockSize);
    const unsigned sum = std::accumulate(first, first + (kBlockSize - 1), 0u);
    return static_cast<Byte>((256u - sum % 256u) % 256u);
}

void applyBlockChecksums(std::span<Byte> bytes, bool autoChecksum) {
    if (!autoChecksum)
        return;
    for (std::size_t block = 0; (block + 1) * kBlockSize <= bytes.size(); ++block)
        bytes[block * kBlockSize + kBlockSize - 1] = blockChecksum(bytes, block);
}

bool hasEdidHeader(std::span<const Byte> bytes) {
    static constexpr Byte kHeader[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    return bytes.size() >= 8 && std::equal(std::begin(kHeader), std::end(kHeader), bytes.begin());
}

std::string extensionKindName(Byte tag) {
    switch (tag) {
    case 0x02:
        return "CTA-861";
    case 0x10:
        return "video timing block";
    case 0x40:
        return "display information";
    case 0x50:
        return "localized string";
    case 0x60:
        return "digital packet video link";
    case 0x70:
        return "DisplayID";
    case 0xF0:
        return "block map";
    case 0xFF:
        return "manufacturer";
    default:
        return "tag " + hexByteH(tag);
    }
}

std::string blockListText(std::span<const Byte> bytes) {
    const std::size_t blocks = blockCountOf(bytes.size());
    std::string text = plural(blocks, "block") + ":";
    for (std::size_t k = 0; k < blocks; ++k)
        text += (k == 0 ? " base" : ", " + extensionKindName(bytes[k * kBlockSize]));
    return text;
}

EdidCheck checkEdidBytes(EdidBytes bytes, const EdidCheckOptions& options) {
    EdidCheck check;
    const std::size_t length = bytes.size();
    if (length == 0) {
        check.refused = true;
        check.refusal = "The file is empty: it holds no EDID.";
        return check;
    }
    if (length > kMaxEdidSize) {
        check.refused = true;
        check.refusal = "The file is larger than an EDID can be (at most " +
                        std::to_string(kMaxEdidBlocks) + " blocks, " +
                        std::to_string(kMaxEdidSize) + " bytes).";
        return check;
    }
    if (!hasEdidHeader(bytes)) {
        check.refused = true;
        check.refusal = "EDID File Format incorrect!!";
        return check;
    }

    const std::size_t declared = length > kExtensionCountOffset
                                     ? 1 + static_cast<std::size_t>(bytes[kExtensionCountOffset])
                                     : 1;
    const std::size_t declaredLength = declared * kBlockSize;
    if (length > declaredLength && repeatsItself(bytes, declaredLength)) {
        const std::string found = "The file holds its first " + std::to_string(declaredLength) +
                                  " bytes again after them (an EEPROM read that wrapped around)";
        if (options.repair) {
            bytes.resize(declaredLength);
            check.notes.push_back(found + ": only the " + plural(declared, "block") +
                                  " byte 126 declares were taken.");
        } else {
            check.notes.push_back(found + ".");
        }
    }

    if (bytes.size() % kBlockSize != 0) {
        const std::string found = "The file holds " + std::to_string(bytes.size()) +
                                  " bytes, not a whole number of 128-byte blocks";
        if (options.repair) {
            bytes.resize(blockCountOf(bytes.size()) * kBlockSize, 0);
            check.notes.push_back(found + ": the last block was filled up with 00h.");
        } else {
            check.notes.push_back(found + ".");
        }
    }

    const std::size_t blocks = blockCountOf(bytes.size());
    if (blocks != declared) {
        std::string note = "Byte 126 declares " + plural(declared - 1, "extension block") +
                           ", but the file holds " + std::to_string(blocks - 1) + ": ";
        if (declared == 1 && options.repair)
            note += blocks == 2 ? "block 1 is kept, hidden as in 128-byte mode (a save writes "
                                  "128 bytes)."
                                : "the extension blocks are kept, hidden as in 128-byte mode (a "
                                  "save writes 128 bytes).";
        else if (blocks > declared)
            note += "every block is kept.";
        else if (blocks == 1 && options.repair)
            note += "block 1 is left empty (all 00h).";
        else
            note += "no block was added.";
        check.notes.push_back(note);
    }

    std::string wrong;
    for (std::size_t k = 0; (k + 1) * kBlockSize <= bytes.size(); ++k) {
        const Byte expected = blockChecksum(bytes, k);
        const Byte stored = bytes[k * kBlockSize + kBlockSize - 1];
        if (stored == expected)
            continue;
        check.badChecksums.push_back(k);
        wrong += (wrong.empty() ? "" : ", ") + std::string("block ") + std::to_string(k) + " (" +
                 hexByteH(stored) + ", should be " + hexByteH(expected) + ")";
    }
    if (!wrong.empty())
        check.notes.push_back(
            std::string(check.badChecksums.size() == 1 ? "Wrong checksum: " : "Wrong checksums: ") +
            wrong +
            (options.checksumsCorrected ? ". With 自动校验 on, the image has them corrected."
                                        : ". They are kept as read."));
    check.bytes = std::move(bytes);
    return check;
}

} // namespace pellam
