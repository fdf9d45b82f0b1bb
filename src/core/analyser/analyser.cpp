#include "core/analyser/analyser.h"

#include "core/analyser/hdmi2_rules.h"
#include "core/base_block/detailed_timing.h"
#include "core/cea/cea_formats.h"
#include "core/cea/modern_blocks.h"
#include "core/edid/edid_bytes.h"

#include <algorithm>
#include <exception>
#include <vector>

namespace pellam {

namespace {

// clang-format off
constexpr std::array<const char*, kAnalyserItemCount> kMessages = {
    /*   0 */ "Block 0 Header",
    /*   1 */ "Block 0 Checksum",
    /*   2 */ "Number of Extension Block bit is 1",
    /*   3 */ "Block 1 Checksum",
    /*   4 */ "Verify EDID Version",
    /*   5 */ "Verify Video Information Byte",
    /*   6 */ "Verify Preferred Timing bit is set",
    /*   7 */ "Verify Detail Timing #1 Include Preferred Timing",
    /*   8 */ "Monitor Range Limits Header",
    /*   9 */ "Monitor Range Limits when no 2nd GTF data",
    /*  10 */ "Monitor Name Header",
    /*  11 */ "Monitor Descriptor follow DTD",
    /*  12 */ "CEA T. E. in Block 1",
    /*  13 */ "Verify CEA T. E. version",
    /*  14 */ "Legal Data Block Type",
    /*  15 */ "Basic audio claimed in CDF and found in EDID",
    /*  16 */ "Basic Audio and Audio Block found in EDID Block 1",
    /*  17 */ "Audio Block Length is a mutiple of 3",
    /*  18 */ "Audio Desc. byte #1 and #2 Rsvd bits are zero",
    /*  19 */ "Audio Desc. byte #3 Rsvd bytes are zero",
    /*  20 */ "PCM descriptor have Basic Audio frequencies",
    /*  21 */ "Speaker Allocation Data Block is present",
    /*  22 */ "Legal Speaker Alloc Block Length",
    /*  23 */ "Speaker Block Rsvd bit are zero",
    /*  24 */ "Speaker Block Rsvd bytes are zero",
    /*  25 */ "Only one Speaker Block is present",
    /*  26 */ "Speaker Block is present if Multi-Ch is supported",
    /*  27 */ "d Points to correct location",
    /*  28 */ "Zero value in Padding DTD",
    /*  29 */ "HDMI VSDB is present in EDID block 1",
    /*  30 */ "Only one HDMI VSDB is present in EDID block 1",
    /*  31 */ "Valid Physial Address in HDMI VSDB",
    /*  32 */ "Match DTD Byte 3 in CEA T.E.",
    /*  33 */ "Non-Zero Rsvd Field VSDB Byte 6",
    /*  34 */ "VSDB Supports_AI Field",
    /*  35 */ "Incorrect additional video format capabilities",
    /*  36 */ "VSDB byte6 reserved bits should be zero",
    /*  37 */ "DC_Y444 set but no Deep Color depth indicated",
    /*  38 */ "DC_30bit or DC_48bit supported without default DC_36bit",
    /*  39 */ "Max_TMDS_Clock field not present despite Deep Color support",
    /*  40 */ "Max_TMDS_Clock field not present despite DVI_Dual support",
    /*  41 */ "Max_TMDS_Clock field zero despite Deep Color support",
    /*  42 */ "Max_TMDS_Clock field zero despite DVI_Dual support",
    /*  43 */ "VSDB byte8 reserved bits should be zero",
    /*  44 */ "3D/4Kx2K video formats not indicated despite CDF is declared",
    /*  45 */ "HDMI_Video_Present is sent but VSDB is too short",
    /*  46 */ "3D/4Kx2K video formats indicated despite CDF is not declared",
    /*  47 */ "3D video formats not indicated despite CDF is declared",
    /*  48 */ "3D video formats indicated despite CDF is not declared",
    /*  49 */ "Additional 3D video formats not indicated despite CDF is declared",
    /*  50 */ "Additional 3D video formats indicated despite CDF is not declared",
    /*  51 */ "4Kx2K video formats not indicated despite CDF is declared",
    /*  52 */ "Not valid HDMI_VIC",
    /*  53 */ "4Kx2K video formats indicated despite CDF is not declared",
    /*  54 */ "Latency_Fields_Present and HDMI_Video_Present are set but VSDB is too short",
    /*  55 */ "I_Latency_Fields_Present cannot be set unless Latency_Fields_Present is set",
    /*  56 */ "Latency_Fields_Present is set but VSDB is too short",
    /*  57 */ "Latency_Fields_Present and I_Latency_Fields_Present are set but VSDB is too short",
    /*  58 */ "HDMI VSDB non-zero Rsvd Extension Fields",
    /*  59 */ "Number Of Preferred Timing",
    /*  60 */ "No Extra VSDB",
    /*  61 */ "CDF:HDMI Output Count and CEC root Device",
    /*  62 */ "HDMI VSDB has correct length",
    /*  63 */ "Visible char in Monitor Name",
    /*  64 */ "Correct Monitor Desc. Header",
    /*  65 */ "Correct Padding in Monitor Desc.",
    /*  66 */ "Monitor Name less than 7 char",
    /*  67 */ "Video Capability Data Block, bit37 is 0",
    /*  68 */ "Video Capability Data Block CE formats supported",
    /*  69 */ "Video Capability Data Block IT formats supported",
    /*  70 */ "Metadata P0 required if xvYCC supported",
    /*  71 */ "Legal gamut metadata indication",
    /*  72 */ "Legal extended colorimetry indicated",
    /*  73 */ "DTD is matching an 861D format with VIC = ",
    /*  74 */ "DTD is found the coordinate VIC on SVD",
    /*  75 */ "Pixel clock of DTD is exactly matching with 861-D",
    /*  76 */ "DTD is found the coordinate VIC on SVD",
    /*  77 */ "Pixel clock of DTD is exactly matching with 861-D",
    /*  78 */ "DTD is found the coordinate VIC on SVD",
    /*  79 */ "Pixel clock of DTD is exactly matching with 861-D",
    /*  80 */ "DTD is found the coordinate VIC on SVD",
    /*  81 */ "Pixel clock of DTD is exactly matching with 861-D",
    /*  82 */ "DTD is found the coordinate VIC on SVD",
    /*  83 */ "Pixel clock of DTD is exactly matching with 861-D",
    /*  84 */ "DTD is found the coordinate VIC on SVD",
    /*  85 */ "Pixel clock of DTD is exactly matching with 861-D",
    /*  86 */ "DTD is found the coordinate VIC on SVD",
    /*  87 */ "Pixel clock of DTD is exactly matching with 861-D",
    /*  88 */ "DTD is found the coordinate VIC on SVD",
    /*  89 */ "Pixel clock of DTD is exactly matching with 861-D",
    /*  90 */ "DTD is found the coordinate VIC on SVD",
    /*  91 */ "Pixel clock of DTD is exactly matching with 861-D",
    /*  92 */ "DTD is found the coordinate VIC on SVD",
    /*  93 */ "Pixel clock of DTD is exactly matching with 861-D",
    /*  94 */ "DTD is found the coordinate VIC on SVD",
    /*  95 */ "Pixel clock of DTD is exactly matching with 861-D",
    /*  96 */ "DTD is found the coordinate VIC on SVD",
    /*  97 */ "Pixel clock of DTD is exactly matching with 861-D",
    /*  98 */ "Contain 60Hz EDTV mode(VIC 2 or 3) in SVD",
    /*  99 */ "Contain 60Hz HDTV mode(VIC 4 or 5) in SVD",
    /* 100 */ "Contain 50Hz EDTV mode(VIC 17 or 18) in SVD",
    /* 101 */ "Contain 50Hz HDTV mode(VIC 19 or 20) in SVD",
    /* 102 */ "Contain 720p@59.94/60Hz in SVD",
    /* 103 */ "Contain 1080i@59.94/60Hz in SVD",
    /* 104 */ "Contain 720p@50Hz in SVD",
    /* 105 */ "Contain 1080i@50Hz in SVD",
    /* 106 */ "Support both of YCbCr 422 and YCbCr444",
    /* 107 */ "Support both of YCbCr 422 and YCbCr444 when YUV on other",
    /* 108 */ "Illegal SVD",
    /* 109 */ "SVD beyond the specified range",
    /* 110 */ "Max_TMDS_Clock value in VSDB (HDMI Spec 1.3a 8.3.2)",
    /* 111 */ "Color Depth Requirements (HDMI Spec 1.3a 6.2.4)",
};
// clang-format on

constexpr Byte kHdmiOui[3] = {0x03, 0x0C, 0x00};

// One run over one buffer. Every byte position at 256 or beyond reads as 0
// and every walk stops at the end of the buffer.
class Evaluation {
public:
    Evaluation(const EdidImage& buffer, const CapabilityDeclaration& declaration,
               const DataBlockCollection& model, AnalyserResult& result,
               std::span<const Byte> moreBlocks)
        : m_buffer(buffer)
        , m_cdf(declaration)
        , m_model(model)
        , m_result(result)
        , m_moreBlocks(moreBlocks) {}

    void run() {
        m_result = {};
        readFurtherCtaBlocks();
        blockZero();
        descriptorSlots();
        blockOneHeader();
        dataBlockWalk();
        blockOneTimings();
        matchFormats();
        formatDeclarations();
        pixelEncoding();
        hdmiSpecRules();
        furtherBlocks();
        if (m_cdf.hdmi2Section)
            hdmi2Rules();
    }

private:
    int at(int offset) const { return offset >= 0 && offset < 256 ? m_buffer[offset] : 0; }
    void fail(int item) { m_result.verdicts[static_cast<std::size_t>(item)] = 1; }
    void pass(int item) { m_result.verdicts[static_cast<std::size_t>(item)] = 0; }
    void set(int item, bool failed) { m_result.verdicts[static_cast<std::size_t>(item)] = failed; }
    bool declaresVideo3Dor4K() const { return m_cdf.sink3D || m_cdf.sink4Kx2K; }
    bool bytesAre(int offset, std::initializer_list<int> expected) const {
        int i = offset;
        for (int b : expected)
            if (at(i++) != b)
                return false;
        return true;
    }
    // The VICs of the model's short video descriptors, in block order, then
    // those of the CTA-861 blocks after block 1.
    std::vector<int> svdVics() const {
        std::vector<int> vics;
        if (m_model.video.present) {
            const int count = std::clamp(m_model.video.svdCount, 0, VideoDataBlock::kMaxSvds);
            for (int k = 0; k < count; ++k)
                vics.push_back(m_model.video.svds[static_cast<std::size_t>(k)].vic);
        }
        vics.insert(vics.end(), m_furtherVics.begin(), m_furtherVics.end());
        return vics;
    }

    // The data blocks of the CTA-861 blocks after block 1 that rules look
    // for anywhere: their short video descriptors and speaker allocations.
    void readFurtherCtaBlocks() {
        for (std::size_t start = 0; start + kBlockSize <= m_moreBlocks.size(); start += kBlockSize) {
            const std::span<const Byte> block = m_moreBlocks.subspan(start, kBlockSize);
            if (block[0] != 0x02)
                continue;
            const int end = std::min<int>(block[2], 127);
            for (int p = 4; p < end;) {
                const int tag = block[static_cast<std::size_t>(p)] >> 5;
                const int len = block[static_cast<std::size_t>(p)] & 0x1F;
                for (int n = 1; tag == kTagVideo && n <= len && p + n < end; ++n)
                    m_furtherVics.push_back(decodeSvd(block[static_cast<std::size_t>(p + n)]).vic);
                if (tag == kTagSpeakerAllocation)
                    m_furtherSpeakerBlock = true;
                p += len + 1;
            }
        }
    }

    // Byte 126 against the blocks present, and each further block's checksum.
    void furtherBlocks() {
        if (m_moreBlocks.empty())
            return;
        const std::size_t blocks = 2 + m_moreBlocks.size() / kBlockSize;
        m_result.extensionBlockItems.push_back(
            {"Number of Extension Blocks (byte 126 = " + std::to_string(at(126)) +
                 ") matches the " + std::to_string(blocks) + " blocks present",
             static_cast<std::size_t>(at(126)) + 1 != blocks});
        for (std::size_t k = 2; k < blocks; ++k) {
            const std::span<const Byte> block = m_moreBlocks.subspan((k - 2) * kBlockSize, kBlockSize);
            m_result.extensionBlockItems.push_back(
                {"Block " + std::to_string(k) + " Checksum (" + extensionKindName(block[0]) +
                     " extension)",
                 block[kBlockSize - 1] != blockChecksum(block, 0)});
        }
    }
    // The HDMI 2.x section over the whole image: block 0, block 1, the rest.
    void hdmi2Rules() {
        std::vector<Byte> image(m_buffer.begin(), m_buffer.end());
        image.insert(image.end(), m_moreBlocks.begin(), m_moreBlocks.end());
        for (const Hdmi2Verdict& v : checkHdmi2Rules(image)) {
            std::string text(hdmi2RuleText(v.rule));
            if (v.failed && !v.detail.empty())
                text += ": " + v.detail;
            m_result.hdmi2Items.push_back({std::move(text), v.failed});
        }
    }
    bool svdListsVic(int vic) const {
        const std::vector<int> vics = svdVics();
        return std::find(vics.begin(), vics.end(), vic) != vics.end();
    }

    // 8-1 and the header bytes of 8-2.
    void blockZero() {
        set(0, !bytesAre(0, {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}));
        set(1, at(127) != Checksum(m_buffer, 0));
        set(2, at(126) != 1);
        set(3, at(255) != Checksum(m_buffer, 1));
        set(4, !(at(18) == 0x01 && at(19) == 0x03));
        set(5, !(at(20) == 0x80 || at(20) == 0x81));
        set(6, (at(24) & 0x02) == 0);
        set(7, at(54) == 0 && at(55) == 0);
        fail(8);
        fail(10);
    }

    bool printable(int b) const { return b >= 0x20 && b <= 0x7E; }

    void descriptorSlots() {
        for (int s : {54, 72, 90, 108}) {
            if (bytesAre(s, {0x00, 0x00, 0x00, 0xFC})) {
                pass(10);
                if (at(s + 4) != 0)
                    fail(64);
                int newline = -1;
                for (int p = s + 5; p <= s + 17 && newline < 0; ++p)
                    if (at(p) == 0x0A)
                        newline = p;
                const int textEnd = newline < 0 ? s + 18 : newline;
                for (int p = s + 5; p < textEnd; ++p) {
                    if (!printable(at(p))) {
                        fail(63);
                        break;
                    }
                }
                if (newline >= 0) {
                    for (int p = newline + 1; p <= s + 17; ++p)
                        if (at(p) != 0x20)
                            fail(65);
                }
            } else if (bytesAre(s, {0x00, 0x00, 0x00, 0xFD})) {
                pass(8);
                if (at(s + 4) != 0)
                    fail(64);
                if (at(s + 10) == 0) {
                    bool padded = at(s + 11) == 0x0A;
                    for (int p = s + 12; p <= s + 17; ++p)
                        padded = padded && at(p) == 0x20;
                    if (!padded)
                        fail(9);
                }
            } else if (at(s) != 0 || at(s + 1) != 0) {
                // A non-zero pixel clock word marks a detailed timing.
                m_dtds.push_back(s);
            }
        }
        const auto anyNonZero = [&](int first, int last) {
            for (int p = first; p <= last; ++p)
                if (at(p) != 0)
                    return true;
            return false;
        };
        set(11, anyNonZero(90, 92) || anyNonZero(108, 110) ||
                    (anyNonZero(72, 74) && !anyNonZero(54, 56)));
    }

    void blockOneHeader() {
        if (at(126) == 1 && at(128) == 0x02)
            pass(12);
        else if (at(126) > 1 && at(128) != 0xF0)
            fail(12);
        set(13, at(129) != 3);
    }

    // 60: the three bytes after a block's header must not be the HDMI OUI.
    void noExtraVsdb(int pos) {
        if (bytesAre(pos + 1, {kHdmiOui[0], kHdmiOui[1], kHdmiOui[2]}))
            fail(60);
    }

    void audioBlock(int pos, int len) {
        const bool basicAudio = (at(131) & 0x40) != 0;
        if (m_cdf.sinkBasicAudio != basicAudio)
            fail(15);
        if (!basicAudio)
            fail(16);
        if (len % 3 != 0)
            fail(17);
        noExtraVsdb(pos);
        for (int k = 0; k < len / 3; ++k) {
            const int b0 = at(pos + 1 + 3 * k);
            const int b1 = at(pos + 2 + 3 * k);
            const int b2 = at(pos + 3 + 3 * k);
            if ((b0 & 0x80) || (b1 & 0x80))
                fail(18);
            if (((b0 >> 3) & 0x0F) != 1)
                continue;
            if (b2 & 0xF8)
                fail(19);
            if ((b1 & 0x07) != 0x07)
                fail(20);
            if ((b0 & 0x07) >= 2) {
                if (m_speakerSeen) {
                    pass(21);
                    m_speakerSeen = false;
                } else {
                    m_multichannelPending = true;
                    fail(21);
                }
            }
        }
    }

    void videoBlock(int pos, int len) {
        noExtraVsdb(pos);
        for (int p = pos + 1; p <= pos + len; ++p) {
            const int b = at(p);
            if (b == 0x00 || b == 0x80)
                fail(108);
            if ((b & 0x7F) > 64)
                fail(109);
        }
    }

    void speakerBlock(int pos, int len) {
        noExtraVsdb(pos);
        if (m_multichannelPending) {
            m_multichannelPending = false;
            pass(21);
        } else {
            m_speakerSeen = true;
        }
        ++m_speakerBlocks;
        if (len != 3)
            fail(22);
        if (at(pos + 1) & 0x80)
            fail(23);
        if (at(pos + 2) != 0 || at(pos + 3) != 0)
            fail(24);
        if (m_speakerBlocks > 1)
            fail(25);
    }

    void extendedBlock(int pos) {
        const int e = at(pos + 1);
        const int b2 = at(pos + 2);
        const int b3 = at(pos + 3);
        if (e == kExtTagVideoCapability) {
            if ((b2 & 0x03) == 0)
                fail(68);
            if ((b2 & 0x0C) == 0)
                fail(69);
        } else if (e == kExtTagColorimetry) {
            if (b2 & 0x03) {
                if ((b3 & 0x01) == 0)
                    fail(70);
            } else if (b3 != 0) {
                fail(71);
            }
            if (b2 & 0xE0)
                fail(72);
            if (b3 & 0xFE)
                fail(71);
        }
    }

    // The HDMI vendor-specific data block (HDMI 1.4b 8.3.2). Byte n is pos + n.
    void vsdbBlock(int pos, int len) {
        const auto byte = [&](int n) { return at(pos + n); };
        const bool d = declaresVideo3Dor4K();
        m_result.vsdbLength = len;
        ++m_hdmiVsdbs;
        if (m_hdmiVsdbs > 1)
            fail(30);
        set(62, len < 5);
        set(61, m_cdf.hdmiOutputCount == 0 && !m_cdf.cecRootDevice);
        if (m_cdf.hdmiOutputCount == 0 && m_cdf.cecRootDevice) {
            const bool rootAddress = (byte(4) >> 4) >= 1 && (byte(4) & 0x0F) == 0 && byte(5) == 0;
            set(31, !rootAddress);
        }
        if (m_cdf.sinkSupportAI) {
            set(34, !(len > 5 && (byte(6) & 0x80)));
            set(62, len <= 5);
        } else {
            set(34, len > 5 && byte(6) == 0x80);
        }
        if (d)
            set(35, !(len > 9 && (byte(8) & 0x20)));
        if (len < 6)
            return;

        const int flags = byte(6);
        set(36, flags & 0x06);
        set(37, (flags & 0x08) && !(flags & 0x70));
        set(38, (flags & 0x50) && !(flags & 0x20));
        if (len == 6) {
            set(39, flags & 0x70);
            set(40, flags & 0x01);
            return;
        }
        if (byte(7) == 0) {
            set(41, flags & 0x70);
            set(42, flags & 0x01);
        }
        if (len < 8)
            return;

        const int b8 = byte(8);
        set(43, b8 & 0x10);
        const int f = b8 & 0xE0;
        int q = -1; // first byte of the HDMI video fields
        if (f == 0x00) {
            set(44, d);
        } else if (f == 0x20) {
            set(45, len < 10);
            set(46, !d);
            q = 9;
        } else if ((b8 >> 6) == 1) {
            fail(55);
            if (f == 0x60)
                set(46, !d);
            else
                set(44, d);
        } else if (f == 0x80) {
            set(56, len < 10);
            set(44, d);
        } else if (f == 0xA0) {
            set(54, len < 12);
            set(46, !d);
            q = 11;
        } else if (f == 0xC0) {
            set(57, len < 12);
            set(44, d);
        } else {
            set(57, len < 14);
            set(46, !d);
            q = 13;
        }
        if (q > 0)
            videoSubBlock(pos, q);

        if (len >= 9) {
            const int p = ((b8 & 0x80) ? 2 : 0) + ((b8 & 0x40) ? 2 : 0);
            int end = 9 + p;
            if (b8 & 0x20)
                end += (byte(10 + p) >> 5) + (byte(10 + p) & 0x1F) + 2;
            for (int n = end; n <= len; ++n) {
                if (byte(n) != 0) {
                    fail(58);
                    break;
                }
            }
        }
    }

    void videoSubBlock(int pos, int q) {
        const int threeD = at(pos + q);
        const int lengths = at(pos + q + 1);
        const int vicLen = lengths >> 5;
        const int len3d = lengths & 0x1F;
        set(47, m_cdf.sink3D && !(threeD & 0x80));
        set(48, !m_cdf.sink3D && (threeD & 0x80));
        set(49, m_cdf.sink3DAdditional && len3d == 0);
        set(50, !m_cdf.sink3DAdditional && len3d != 0);
        set(51, m_cdf.sink4Kx2K && vicLen == 0);
        if (m_cdf.sink4Kx2K) {
            for (int n = vicLen; n >= 1; --n) {
                const int vic = at(pos + q + 1 + n);
                if (vic < 1 || vic > 4) {
                    fail(52);
                    break;
                }
                pass(52);
            }
        }
        set(53, !m_cdf.sink4Kx2K && vicLen != 0);
    }

    void dataBlockWalk() {
        const int end = 128 + at(130);
        m_pos = 132;
        while (m_pos < end && m_pos < 256) {
            const int h = at(m_pos);
            const int tag = h >> 5;
            const int len = h & 0x1F;
            switch (tag) {
            case 0:
            case 6:
                fail(14);
                break;
            case kTagAudio:
                audioBlock(m_pos, len);
                break;
            case kTagVideo:
                videoBlock(m_pos, len);
                break;
            case kTagVendorSpecific:
                // Other vendors' blocks (HDMI Forum, AMD and others) are not
                // held to the HDMI VSDB's rules.
                if (bytesAre(m_pos + 1, {kHdmiOui[0], kHdmiOui[1], kHdmiOui[2]}))
                    vsdbBlock(m_pos, len);
                break;
            case kTagSpeakerAllocation:
                speakerBlock(m_pos, len);
                break;
            case kTagExtended:
                extendedBlock(m_pos);
                break;
            default:
                break;
            }
            m_pos += len + 1;
        }
        set(27, m_pos > end);
    }

    void blockOneTimings() {
        int pos = m_pos;
        // Byte 255 is the checksum, never a timing's clock: a walk that
        // reaches byte 254 has only padding left to check.
        while (pos + 1 < 255 && (at(pos) != 0 || at(pos + 1) != 0)) {
            if (pos + 18 >= 256) {
                fail(28);
                break;
            }
            m_dtds.push_back(pos);
            pos += 18;
        }
        m_result.dtdCount = static_cast<int>(m_dtds.size());
        if ((at(131) & 0x0F) > m_result.dtdCount)
            fail(59);
        for (int p = pos; p <= 254; ++p)
            if (at(p) != 0)
                fail(28);
        if (m_hdmiVsdbs == 0)
            fail(29);
        // Multi-channel audio with its speaker allocation in a later CTA block.
        if (m_multichannelPending && m_furtherSpeakerBlock)
            pass(21);
    }

    // 8-17: each detailed timing against the CTA-861 formats.
    void matchFormats() {
        const int count = std::min(static_cast<int>(m_dtds.size()), kMaxAnalysedDtds);
        for (int i = 0; i < count; ++i) {
            const int offset = m_dtds[static_cast<std::size_t>(i)];
            m_result.dtdOffsets[static_cast<std::size_t>(i)] = offset;
            const DetailedTiming t =
                decodeDetailedTiming(DtdBytes(m_buffer.begin() + offset, kDtdSize));
            m_result.highestDtdClock = std::max(m_result.highestDtdClock, t.pixelClock);
            for (const CeaFormat& row : ceaFormatTable()) {
                const double rowClock = row.pixelClockMHz;
                const bool matches =
                    (t.interlaced != 0) == row.interlaced && 0.99 * rowClock <= t.pixelClock &&
                    t.pixelClock <= 1.01 * rowClock && t.hActive == row.hActive &&
                    t.vActive == row.vActive && t.hActive + t.hBlanking == row.hTotal;
                if (!matches)
                    continue;
                m_result.matchedDtdMask |= 1u << i;
                m_result.dtdVicList[static_cast<std::size_t>(i)] = row.vic;
                fail(kItemFirstDtdVicInSvd + 2 * i);
                if (t.pixelClock != row.pixelClockMHz)
                    fail(kItemFirstDtdExactClock + 2 * i);
                if (svdListsVic(row.vic))
                    pass(kItemFirstDtdVicInSvd + 2 * i);
            }
        }
    }

    // 8-18: formats the sink declares must be among the short video descriptors.
    void formatDeclarations() {
        const CapabilityDeclaration& c = m_cdf;
        if (!(c.sink60Hz || c.sink50Hz || c.sink720p60Other || c.sink1080i60Other ||
              c.sink720p50Other || c.sink1080i50Other))
            return;
        m_result.formatSectionFlag = true;
        set(98, c.sink60Hz);
        set(99, c.sink60Hz && c.sinkHdtv);
        set(100, c.sink50Hz);
        set(101, c.sink50Hz && c.sinkHdtv);
        set(102, c.sink720p60Other);
        set(103, c.sink1080i60Other);
        set(104, c.sink720p50Other);
        set(105, c.sink1080i50Other);
        for (const int v : svdVics()) {
            if ((v == 2 || v == 3) && c.sink60Hz)
                pass(98);
            if (v == 4 || v == 5) {
                if (c.sink60Hz && c.sinkHdtv)
                    pass(99);
                if (v == 4 && c.sink720p60Other)
                    pass(102);
                if (v == 5 && c.sink1080i60Other)
                    pass(103);
            }
            if ((v == 17 || v == 18) && c.sink50Hz)
                pass(100);
            if (v == 19 || v == 20) {
                if (c.sink50Hz && c.sinkHdtv)
                    pass(101);
                if (v == 19 && c.sink720p50Other)
                    pass(104);
                if (v == 20 && c.sink1080i50Other)
                    pass(105);
            }
        }
    }

    // 8-19.
    void pixelEncoding() {
        const bool both = m_model.header.ycbcr444 && m_model.header.ycbcr422;
        if (m_model.header.ycbcr444 || m_model.header.ycbcr422) {
            m_result.pixelEncodingFlag = true;
            set(106, !both);
        }
        if (m_cdf.sinkYuvOnOther)
            set(107, !both);
    }

    // HDMI 1.3a 8.3.2 and 6.2.4.
    void hdmiSpecRules() {
        const HdmiVsdb& v = m_model.vsdb;
        const bool needsClock =
            m_result.highestDtdClock > 165.0 || v.dc30bit || v.dc36bit || v.dc48bit || v.dviDual;
        set(110, needsClock && v.maxTmdsClock == 0);
        set(111, !v.dc36bit && (v.dc30bit || v.dc48bit));
    }

    const EdidImage& m_buffer;
    const CapabilityDeclaration& m_cdf;
    const DataBlockCollection& m_model;
    AnalyserResult& m_result;
    std::vector<int> m_dtds; // offsets of the detailed timings, block 0 then block 1
    int m_pos = 132;
    bool m_multichannelPending = false;
    bool m_speakerSeen = false;
    int m_speakerBlocks = 0;
    int m_hdmiVsdbs = 0;
    std::span<const Byte> m_moreBlocks;
    std::vector<int> m_furtherVics;
    bool m_furtherSpeakerBlock = false;
};

} // namespace

int AnalyserResult::failCount() const {
    return static_cast<int>(
        std::count_if(verdicts.begin(), verdicts.end(), [](std::int32_t v) { return v != 0; }) +
        std::count_if(extensionBlockItems.begin(), extensionBlockItems.end(),
                      [](const ExtensionBlockItem& item) { return item.failed; }) +
        std::count_if(hdmi2Items.begin(), hdmi2Items.end(),
                      [](const ExtensionBlockItem& item) { return item.failed; }));
}

std::string_view analyserMessage(int item) {
    if (item < 0 || item >= kAnalyserItemCount)
        return {};
    return kMessages[static_cast<std::size_t>(item)];
}

bool Evaluate(const EdidImage& buffer, const CapabilityDeclaration& declaration,
              const DataBlockCollection& model, AnalyserResult& result,
              std::span<const Byte> moreBlocks) {
    try {
        Evaluation(buffer, declaration, model, result, moreBlocks).run();
        return true;
    } catch (const std::exception&) {
        result = {};
        return false;
    }
}

} // namespace pellam
