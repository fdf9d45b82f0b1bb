// Images of any length through the steps the editor and pellam-cli take:
// check, adopt, edit one byte, rebuild every CTA-861 block, write the
// checksums, save and read back. No block is ever lost or added, and the
// blocks that are not CTA-861 extensions come back byte for byte.
#include "core/cea/extension_block.h"
#include "core/edid/edid_file.h"
#include "core/edid/workspace.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

using namespace pellam;

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    // The first two bytes choose the byte to edit; the rest is the file.
    const std::size_t editAt = (std::size_t{data[0]} << 8 | data[1]);
    EdidBytes raw(data + 2, data + size);
    raw.resize(std::max<std::size_t>(raw.size(), 8));
    std::copy_n("\x00\xFF\xFF\xFF\xFF\xFF\xFF\x00", 8, raw.begin());

    const EdidCheck checked = checkEdidBytes(raw);
    if (checked.refused)
        return 0;
    check(checked.bytes.size() % kBlockSize == 0);
    check(checked.bytes.size() <= raw.size() + kBlockSize - 1);

    EdidWorkspace ws;
    adoptEdidBytes(ws, checked.bytes);
    EdidBytes image = edidBytes(ws, true);
    check(image.size() == std::max(checked.bytes.size(), kImageSize));
    image[editAt % image.size()] ^= 0x5A;

    const std::size_t blocks = image.size() / kBlockSize;
    for (std::size_t k = 1; k < blocks; ++k) {
        const std::span<Byte> block(image.data() + k * kBlockSize, kBlockSize);
        const EdidBytes before(block.begin(), block.end());
        DataBlockCollection c;
        parseCtaBlock(block, static_cast<int>(k * kBlockSize), c);
        const bool rebuilt = rebuildCtaBlock(block, static_cast<int>(k * kBlockSize), c);
        if (!c.editable)
            check(!rebuilt && EdidBytes(block.begin(), block.end()) == before);
    }
    applyBlockChecksums(image, true);
    check(image.size() == blocks * kBlockSize);
    for (std::size_t k = 0; k < blocks; ++k)
        check(image[k * kBlockSize + kBlockSize - 1] == blockChecksum(image, k));

    EdidBytes back;
    check(!readListText(formatListText(image), back).failed());
    check(back == image);
    return 0;
}
