#include "core/analyser/item_location.h"

#include "core/analyser/analyser.h"
#include "core/cea/data_block_collection.h"

#include <array>
#include <functional>
#include <vector>

namespace pellam {

namespace {

constexpr int kDescriptorSlots[] = {54, 72, 90, 108};
constexpr Byte kHdmiOui[3] = {0x03, 0x0C, 0x00};

// The structures the items are about, found the way the evaluation walks
// the image: image offsets, -1 for a structure that is not there.
struct Landmarks {
    int monitorName = -1;  // descriptor slot with tag FC
    int rangeLimits = -1;  // descriptor slot with tag FD
    int illegalBlock = -1; // first data block of tag 0 or 6
    // Every data block of these kinds, in block order.
    std::vector<int> audio;
    std::vector<int> video;
    std::vector<int> speaker;
    int vsdb = -1; // first HDMI VSDB
    int secondVsdb = -1;
    int videoCapability = -1;
    int colorimetry = -1;
    int padding = -1; // first byte after block 1's detailed timings
    int firstNonZeroPadding = -1;
};

class Finder {
public:
    explicit Finder(const EdidImage& buffer)
        : m_buffer(buffer) {}

    int at(int offset) const { return offset >= 0 && offset < 256 ? m_buffer[offset] : 0; }
    int length(int pos) const { return at(pos) & 0x1F; }

    Landmarks find() const {
        Landmarks l;
        for (int s : kDescriptorSlots) {
            const bool descriptor = at(s) == 0 && at(s + 1) == 0 && at(s + 2) == 0;
            if (descriptor && at(s + 3) == 0xFC && l.monitorName < 0)
                l.monitorName = s;
            if (descriptor && at(s + 3) == 0xFD && l.rangeLimits < 0)
                l.rangeLimits = s;
        }
        const int end = 128 + at(130);
        int pos = 132;
        while (pos < end && pos < 256) {
            const int tag = at(pos) >> 5;
            const auto first = [&](int& where) {
                if (where < 0)
                    where = pos;
            };
            const auto firstOrSecond = [&](int& one, int& two) {
                if (one < 0)
                    one = pos;
                else if (two < 0)
                    two = pos;
            };
            if (tag == 0 || tag == 6)
                first(l.illegalBlock);
            else if (tag == kTagAudio)
                l.audio.push_back(pos);
            else if (tag == kTagVideo)
                l.video.push_back(pos);
            else if (tag == kTagSpeakerAllocation)
                l.speaker.push_back(pos);
            else if (tag == kTagVendorSpecific && at(pos + 1) == kHdmiOui[0] &&
                     at(pos + 2) == kHdmiOui[1] && at(pos + 3) == kHdmiOui[2])
                firstOrSecond(l.vsdb, l.secondVsdb);
            else if (tag == kTagExtended && at(pos + 1) == kExtTagVideoCapability)
                first(l.videoCapability);
            else if (tag == kTagExtended && at(pos + 1) == kExtTagColorimetry)
                first(l.colorimetry);
            pos += length(pos) + 1;
        }
        // The detailed timings follow the data blocks; the padding follows them.
        while (pos + 1 < 255 && (at(pos) != 0 || at(pos + 1) != 0) && pos + 18 < 256)
            pos += 18;
        l.padding = pos < 255 ? pos : -1;
        for (int p = pos; p <= 254 && l.firstNonZeroPadding < 0; ++p)
            if (at(p) != 0)
                l.firstNonZeroPadding = p;
        return l;
    }

private:
    const EdidImage& m_buffer;
};

ItemLocation bytesAt(int imageOffset, int length) {
    if (imageOffset < 0)
        return {};
    return {imageOffset / static_cast<int>(kBlockSize), imageOffset % static_cast<int>(kBlockSize),
            length};
}

} // namespace

ItemLocation locateAnalyserItem(int item, int index, const EdidImage& buffer,
                                const AnalyserResult& result) {
    const Finder finder(buffer);
    const Landmarks l = finder.find();
    // A whole data block: its header byte and payload.
    const auto block = [&](int pos) { return bytesAt(pos, finder.length(pos) + 1); };
    const auto inVsdb = [&](int n, int length) {
        return l.vsdb < 0 ? ItemLocation{} : bytesAt(l.vsdb + n, length);
    };
    const auto orFirst = [](int second, int first) { return second >= 0 ? second : first; };
    // The first block of the list for which the rule holds, else the first
    // block: `length` bytes from its byte n.
    const auto firstWhere = [&](const std::vector<int>& blocks, int n, int length,
                                const std::function<bool(int)>& rule) {
        if (blocks.empty())
            return ItemLocation{};
        for (int p : blocks)
            if (rule(p))
                return bytesAt(p + n, length);
        return bytesAt(blocks.front() + n, length);
    };
    // The first payload piece of `size` bytes of the blocks for which the
    // rule holds, else the first block whole.
    const auto inPayload = [&](const std::vector<int>& blocks, int size,
                               const std::function<bool(int)>& rule) {
        for (int p : blocks)
            for (int q = p + 1; q + size <= p + 1 + finder.length(p); q += size)
                if (rule(q))
                    return bytesAt(q, size);
        return blocks.empty() ? ItemLocation{} : block(blocks.front());
    };
    // A short audio descriptor for which the rule holds.
    const auto inDescriptors = [&](const std::vector<int>& blocks,
                                   const std::function<bool(int)>& rule) {
        return inPayload(blocks, 3, rule);
    };
    const auto lpcm = [&](int d) { return ((finder.at(d) >> 3) & 0x0F) == 1; };

    if (item == kItemDtdMatchesFormat || (item >= kItemFirstDtdVicInSvd && item <= 97)) {
        const int i = item == kItemDtdMatchesFormat ? index - 1 : (item - kItemFirstDtdVicInSvd) / 2;
        if (i < 0 || i >= kMaxAnalysedDtds)
            return {};
        const int dtd = result.dtdOffsets[static_cast<std::size_t>(i)];
        // The exact-clock items judge the pixel clock word alone.
        const bool clock = item != kItemDtdMatchesFormat && (item - kItemFirstDtdVicInSvd) % 2 == 1;
        return bytesAt(dtd, clock ? 2 : 18);
    }
    switch (item) {
    case 0:
        return bytesAt(0, 8);
    case 1:
        return bytesAt(127, 1);
    case 2:
        return bytesAt(126, 1);
    case 3:
        return bytesAt(255, 1);
    case 4:
        return bytesAt(18, 2);
    case 5:
        return bytesAt(20, 1);
    case 6:
        return bytesAt(24, 1);
    case 7:
        return bytesAt(54, 2);
    case 8:
        return bytesAt(l.rangeLimits, 4);
    case 9:
        return l.rangeLimits < 0 ? ItemLocation{} : bytesAt(l.rangeLimits + 10, 8);
    case 10:
        return bytesAt(l.monitorName, 4);
    case 11:
        return bytesAt(54, 72);
    case 12:
        return bytesAt(128, 1);
    case 13:
        return bytesAt(129, 1);
    case 14:
        return bytesAt(l.illegalBlock, 1);
    case 15:
    case 16:
    case 32:
    case 59:
    case 106:
    case 107:
        return bytesAt(131, 1);
    case 17:
        return firstWhere(l.audio, 0, 1, [&](int p) { return finder.length(p) % 3 != 0; });
    case 18:
        return inDescriptors(l.audio, [&](int d) {
            return ((finder.at(d) | finder.at(d + 1)) & 0x80) != 0;
        });
    case 19:
        return inDescriptors(l.audio, [&](int d) { return lpcm(d) && (finder.at(d + 2) & 0xF8); });
    case 20:
        return inDescriptors(l.audio,
                             [&](int d) { return lpcm(d) && (finder.at(d + 1) & 0x07) != 0x07; });
    case 21:
    case 26:
        return !l.speaker.empty() ? block(l.speaker.front())
               : !l.audio.empty() ? block(l.audio.front())
                                  : ItemLocation{};
    case 22:
        return firstWhere(l.speaker, 0, 1, [&](int p) { return finder.length(p) != 3; });
    case 23:
        return firstWhere(l.speaker, 1, 1, [&](int p) { return (finder.at(p + 1) & 0x80) != 0; });
    case 24:
        return firstWhere(l.speaker, 2, 2,
                          [&](int p) { return finder.at(p + 2) != 0 || finder.at(p + 3) != 0; });
    case 25:
        return l.speaker.empty() ? ItemLocation{}
                                 : bytesAt(l.speaker[std::min<std::size_t>(1, l.speaker.size() - 1)], 1);
    case 27:
        return bytesAt(130, 1);
    case 28:
        return l.firstNonZeroPadding >= 0 ? bytesAt(l.firstNonZeroPadding, 1)
               : l.padding >= 0          ? bytesAt(l.padding, 255 - l.padding)
                                         : ItemLocation{};
    case 29:
    case 62:
        return bytesAt(l.vsdb, 1);
    case 30:
        return bytesAt(orFirst(l.secondVsdb, l.vsdb), 1);
    case 31:
        return inVsdb(4, 2);
    case 33:
    case 34:
    case 36:
    case 37:
    case 38:
    case 39:
    case 40:
    case 111:
        return inVsdb(6, 1);
    case 41:
    case 42:
    case 110:
        return inVsdb(7, 1);
    case 58:
        return l.vsdb < 0 ? ItemLocation{} : block(l.vsdb);
    case 63:
    case 65:
    case 66:
        return l.monitorName < 0 ? ItemLocation{} : bytesAt(l.monitorName + 5, 13);
    case 64: {
        // The descriptor whose byte 4 is not zero, else the first one checked.
        for (int s : {l.monitorName, l.rangeLimits})
            if (s >= 0 && finder.at(s + 4) != 0)
                return bytesAt(s + 4, 1);
        const int slot = orFirst(l.monitorName, l.rangeLimits);
        return slot < 0 ? ItemLocation{} : bytesAt(slot + 4, 1);
    }
    case 67:
    case 68:
    case 69:
        return l.videoCapability < 0 ? ItemLocation{} : bytesAt(l.videoCapability + 2, 1);
    case 70:
    case 71:
    case 72:
        return l.colorimetry < 0 ? ItemLocation{} : bytesAt(l.colorimetry + 2, 2);
    case 98:
    case 99:
    case 100:
    case 101:
    case 102:
    case 103:
    case 104:
    case 105:
        return l.video.empty() ? ItemLocation{} : block(l.video.front());
    case 108:
        return inPayload(l.video, 1, [&](int p) { return finder.at(p) == 0 || finder.at(p) == 0x80; });
    case 109:
        return inPayload(l.video, 1, [&](int p) { return (finder.at(p) & 0x7F) > 64; });
    default:
        break;
    }
    if (item >= 35 && item <= 57)
        return inVsdb(8, 1);
    return {};
}

} // namespace pellam
