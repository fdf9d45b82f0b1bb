// The HDMI vendor-specific data block (HDMI 1.4b, 8.3.2): physical address,
// deep colour and DVI flags, maximum TMDS clock, latency fields and the HDMI
// video fields (HDMI_VIC codes and 3D formats).
#include "core/cea/data_block_codecs.h"

#include <algorithm>

namespace pellam {

namespace {

// Reads bytes of one block by index (header = 0) and notes how far it got.
class BlockReader {
public:
    explicit BlockReader(BlockBytes block)
        : m_block(block) {}

    // A further byte is there to read at the next index.
    bool more() const { return m_next < m_block.size(); }
    Byte next() { return m_block[m_next++]; }
    std::size_t nextIndex() const { return m_next; }
    void skipTo(std::size_t index) { m_next = std::min(index, m_block.size()); }

private:
    BlockBytes m_block;
    std::size_t m_next = 0;
};

} // namespace

int threeDMultiPresentCode(int threeDMultiPresent) {
    switch (threeDMultiPresent) {
    case 0:
        return 0;
    case 1:
        return 1;
    case 10:
        return 2;
    default:
        return 3;
    }
}

bool isHdmiVsdb(BlockBytes block) {
    return block.size() >= 4 && getBitRange(block[0], 7, 5) == kTagVendorSpecific &&
           block[1] == 0x03 && block[2] == 0x0C && block[3] == 0x00;
}

bool readHdmiVsdb(BlockBytes block, HdmiVsdb& v) {
    // The physical address is the least an HDMI VSDB holds.
    if (!isHdmiVsdb(block) || block.size() < 6)
        return false;
    v = {};
    v.present = true;
    v.size = static_cast<int>(block.size());
    BlockReader in(block);
    in.skipTo(4);
    const Byte ab = in.next();
    const Byte cd = in.next();
    v.physA = ab >> 4;
    v.physB = ab & 0x0F;
    v.physC = cd >> 4;
    v.physD = cd & 0x0F;

    if (in.more()) {
        v.extended = true;
        const Byte flags = in.next();
        v.supportsAI = getBit(flags, 7);
        v.dc48bit = getBit(flags, 6);
        v.dc36bit = getBit(flags, 5);
        v.dc30bit = getBit(flags, 4);
        v.dcY444 = getBit(flags, 3);
        v.reservedFlags6 = flags & 0x06;
        v.dviDual = getBit(flags, 0);
    }
    if (in.more())
        v.maxTmdsClock = in.next();
    if (in.more()) {
        const Byte flags = in.next();
        v.latencyFieldsPresent = getBit(flags, 7);
        v.iLatencyFieldsPresent = getBit(flags, 6);
        v.hdmiVideoPresent = getBit(flags, 5);
        v.reservedFlags8 = flags & 0x10;
        v.cnc3 = getBit(flags, 3);
        v.cnc2 = getBit(flags, 2);
        v.cnc1 = getBit(flags, 1);
        v.cnc0 = getBit(flags, 0);

        // The progressive pair stands wherever either latency flag is set,
        // the interlaced pair after it; the HDMI video fields follow.
        if (v.latencyFieldsPresent || v.iLatencyFieldsPresent) {
            if (in.more())
                v.videoLatency = in.next();
            if (in.more())
                v.audioLatency = in.next();
        }
        if (v.iLatencyFieldsPresent) {
            if (in.more())
                v.iVideoLatency = in.next();
            if (in.more())
                v.iAudioLatency = in.next();
        }
        if (v.hdmiVideoPresent && in.more()) {
            const Byte threeD = in.next();
            v.threeDPresent = getBit(threeD, 7);
            v.threeDMultiPresent = 10 * getBit(threeD, 6) + getBit(threeD, 5);
            v.reserved3d = threeD & 0x1F;
            if (in.more()) {
                const Byte lengths = in.next();
                v.hdmiVicLen = static_cast<int>(getBitRange(lengths, 7, 5));
                v.hdmi3dLen = static_cast<int>(getBitRange(lengths, 4, 0));
            }
            for (int k = 0; k < v.hdmiVicLen && in.more(); ++k)
                v.hdmiVic[static_cast<std::size_t>(k)] = in.next();
            if (v.threeDPresent) {
                const int code = threeDMultiPresentCode(v.threeDMultiPresent);
                if (code == 1 || code == 2) {
                    if (in.more())
                        v.structureAll = in.next() << 8;
                    if (in.more())
                        v.structureAll |= in.next();
                }
                if (code == 2) {
                    if (in.more())
                        v.structureMask = in.next() << 8;
                    if (in.more())
                        v.structureMask |= in.next();
                }
                while (in.more() && v.entryCount < HdmiVsdb::kMaxEntries) {
                    ThreeDEntry& e = v.entries[static_cast<std::size_t>(v.entryCount++)];
                    const Byte first = in.next();
                    e.order = first >> 4;
                    e.structure = first & 0x0F;
                    if (e.structure >= 8 && in.more()) {
                        const Byte detail = in.next();
                        e.detail = detail >> 4;
                        e.detailReserved = detail & 0x0F;
                    }
                }
            }
        }
    }
    v.trailing.assign(block.begin() + static_cast<std::ptrdiff_t>(in.nextIndex()), block.end());
    return true;
}

std::vector<Byte> writeHdmiVsdb(const HdmiVsdb& v) {
    std::vector<Byte> out{dataBlockHeader(kTagVendorSpecific, v.size), 0x03, 0x0C, 0x00};
    const auto put = [&](int value) { out.push_back(static_cast<Byte>(value)); };
    put((v.physA & 15) << 4 | (v.physB & 15));
    put((v.physC & 15) << 4 | (v.physD & 15));
    put(v.supportsAI << 7 | v.dc48bit << 6 | v.dc36bit << 5 | v.dc30bit << 4 | v.dcY444 << 3 |
        (v.reservedFlags6 & 0x06) | int(v.dviDual));
    put(v.maxTmdsClock);
    put(v.latencyFieldsPresent << 7 | v.iLatencyFieldsPresent << 6 | v.hdmiVideoPresent << 5 |
        (v.reservedFlags8 & 0x10) | v.cnc3 << 3 | v.cnc2 << 2 | v.cnc1 << 1 | int(v.cnc0));
    if (v.latencyFieldsPresent || v.iLatencyFieldsPresent) {
        put(v.videoLatency);
        put(v.audioLatency);
    }
    if (v.iLatencyFieldsPresent) {
        put(v.iVideoLatency);
        put(v.iAudioLatency);
    }
    if (v.hdmiVideoPresent) {
        const int code = threeDMultiPresentCode(v.threeDMultiPresent);
        put(v.threeDPresent << 7 | code << 5 | (v.reserved3d & 0x1F));
        put((v.hdmiVicLen & 7) << 5 | (v.hdmi3dLen & 31));
        const int vics = std::clamp(v.hdmiVicLen, 0, HdmiVsdb::kMaxHdmiVics);
        for (int k = 0; k < vics; ++k)
            put(v.hdmiVic[static_cast<std::size_t>(k)]);
        if (v.threeDPresent) {
            if (code == 1 || code == 2) {
                put(v.structureAll >> 8);
                put(v.structureAll);
            }
            if (code == 2) {
                put(v.structureMask >> 8);
                put(v.structureMask);
            }
            const int entries = std::clamp(v.entryCount, 0, HdmiVsdb::kMaxEntries);
            for (int k = 0; k < entries; ++k) {
                const ThreeDEntry& e = v.entries[static_cast<std::size_t>(k)];
                put((e.order & 15) << 4 | (e.structure & 15));
                if ((e.structure & 15) >= 8)
                    put((e.detail & 15) << 4 | (e.detailReserved & 15));
            }
        }
    }
    out.insert(out.end(), v.trailing.begin(), v.trailing.end());
    // Fields that do not fit are cut: the block never grows beyond its size.
    out.resize(static_cast<std::size_t>(std::max(v.size, 0)), 0);
    return out;
}

} // namespace pellam
