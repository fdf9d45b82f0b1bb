// One row per verdict rule of the analyser: an image that fails the item and
// one that passes it, each with every item it fails. A rule that stops firing,
// fires on the wrong image or spills onto another item breaks a row here, with
// no help from the golden reports.
//
// Items 26, 32, 33, 66, 67 and 73 are printed with a fixed PASS and have no
// row; no image below fails them. Items 94..97 belong to detailed timings 11
// and 12, which a 256-byte image cannot hold (4 in block 0, 6 in block 1).
#include "core/cea/block1_builder.h"
#include "core/analyser/analyser.h"
#include "core/cea/extension_block.h"
#include "support/test_support.h"

#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include <gtest/gtest.h>

namespace pellam {
namespace {

using test::Bytes;
using Items = std::set<int>;
using CD = CapabilityDeclaration;

// The data blocks of the default image, in its order.
const Bytes kVideo = {0x4A, 0x05, 0x84, 0x03, 0x02, 0x01, 0x12, 0x93, 0x14, 0x16, 0x07};
const Bytes kAudio = {0x23, 0x09, 0x07, 0x07};  // LPCM 2 ch, 32/44.1/48 kHz, 16 bit
const Bytes kSpeaker = {0x83, 0x01, 0x00, 0x00}; // FL/FR
const Bytes kVsdb = {0x65, 0x03, 0x0C, 0x00, 0x10, 0x00};

// 1280x720p 60 Hz at 74.25 MHz (VIC 4), as in the default image's slot 1.
const Bytes kDtd720p60 = {0x01, 0x1D, 0x00, 0x72, 0x51, 0xD0, 0x1E, 0x20, 0x6E,
                          0x28, 0x55, 0x00, 0xC4, 0x8E, 0x21, 0x00, 0x00, 0x1E};
// 1024x768 at 65 MHz: no CTA-861 format has 1024 active pixels.
const Bytes kDtd1024x768 = {0x64, 0x19, 0x00, 0x40, 0x41, 0x00, 0x26, 0x30, 0x18,
                            0x88, 0x36, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x18};
const Bytes kDummyDescriptor = {0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00,
                                0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

Bytes bytesAt(const EdidImage& image, int offset, int count) {
    return Bytes(image.begin() + offset, image.begin() + offset + count);
}
// The default image's monitor name (slot 3) and range limits (slot 4).
const Bytes kNameDescriptor = bytesAt(hdmiDefaultImage(), 90, 18);
const Bytes kRangeDescriptor = bytesAt(hdmiDefaultImage(), 108, 18);

Bytes withClock(Bytes dtd, int word) {
    dtd[0] = static_cast<Byte>(word & 0xFF);
    dtd[1] = static_cast<Byte>(word >> 8);
    return dtd;
}

void put(EdidImage& image, int offset, const Bytes& bytes) {
    std::copy(bytes.begin(), bytes.end(), image.begin() + offset);
}

// The image with bytes changed, then both checksums made right again.
EdidImage patched(EdidImage image, std::initializer_list<std::pair<int, int>> bytes) {
    for (const auto& [offset, value] : bytes)
        image[static_cast<std::size_t>(offset)] = static_cast<Byte>(value);
    ApplyAutoChecksums(image, true);
    return image;
}

EdidImage withSlots(EdidImage image, const Bytes& s1, const Bytes& s2, const Bytes& s3,
                    const Bytes& s4) {
    put(image, 54, s1);
    put(image, 72, s2);
    put(image, 90, s3);
    put(image, 108, s4);
    ApplyAutoChecksums(image, true);
    return image;
}

// Default block 0; block 1 holds the data blocks, no detailed timing and zero
// padding (so that a field read past the last block reads 0).
EdidImage withBlocks(const std::vector<Bytes>& blocks, Byte flags = 0xF2) {
    return test::imageWithBlock1(blocks, {}, flags);
}

// The default data blocks with the HDMI VSDB replaced; it is the last block.
EdidImage withVsdb(const Bytes& vsdb) {
    return withBlocks({kVideo, kAudio, kSpeaker, vsdb});
}

// The default data blocks with the audio block replaced.
EdidImage withAudio(const Bytes& audio) {
    return withBlocks({kVideo, audio, kSpeaker, kVsdb});
}

// An HDMI VSDB at physical address 1.0.0.0 followed by the bytes from byte 6 on.
Bytes hdmiVsdb(const Bytes& fromByte6, Byte ab = 0x10, Byte cd = 0x00) {
    Bytes block = {0x00, 0x03, 0x0C, 0x00, ab, cd};
    block.insert(block.end(), fromByte6.begin(), fromByte6.end());
    block[0] = static_cast<Byte>(0x60 | (block.size() - 1));
    return block;
}

// An HDMI VSDB with no deep colour, a 225 MHz TMDS clock, byte 8 and the
// bytes after it.
Bytes vsdbFrom8(Byte b8, const Bytes& after = {}) {
    Bytes tail = {0x00, 0x2D, b8};
    tail.insert(tail.end(), after.begin(), after.end());
    return hdmiVsdb(tail);
}

// Block 1 with a video block of one SVD, the default VSDB and then the
// timings that do not fit in block 0: slots 1 and 2 take the first two and
// block 1 up to six more; a ninth and tenth push the monitor name and range
// limits out of block 0.
EdidImage withTimings(const std::vector<Bytes>& timings, Byte svd) {
    const int n = static_cast<int>(timings.size());
    const int inBlock0 = n <= 8 ? std::min(n, 2) : n - 6;
    std::vector<Bytes> slots(timings.begin(), timings.begin() + inBlock0);
    for (const Bytes& d : {kNameDescriptor, kRangeDescriptor, kDummyDescriptor, kDummyDescriptor})
        if (slots.size() < 4)
            slots.push_back(d);
    EdidImage image = test::imageWithBlock1({{0x41, svd}, kVsdb}, {}, 0x70);
    int p = 128 + image[130];
    for (int i = inBlock0; i < n; ++i, p += 18)
        put(image, p, timings[static_cast<std::size_t>(i)]);
    return withSlots(image, slots[0], slots[1], slots[2], slots[3]);
}

CD declaring(std::initializer_list<bool CD::*> flags) {
    CD cdf = CD::dialogDefaults();
    for (bool CD::*flag : flags)
        cdf.*flag = true;
    return cdf;
}

struct Row {
    int item;
    std::string what;
    EdidImage failing;
    Items failingFails; // every item the failing image fails; holds `item`
    EdidImage passing;
    Items passingFails;    // every item the passing image fails; lacks `item`
    CD declaration = CD::dialogDefaults();
    std::optional<CD> passingDeclaration = {}; // when it differs
};

Items failedItems(const EdidImage& image, const CD& cdf) {
    DataBlockCollection model;
    parseExtensionBlock(image, model);
    AnalyserResult result;
    EXPECT_TRUE(Evaluate(image, cdf, model, result));
    Items items;
    for (int k = 0; k < kAnalyserItemCount; ++k)
        if (result.failed(k))
            items.insert(k);
    return items;
}

std::string listed(const Items& items) {
    std::string text = "{";
    for (int k : items)
        text += (text.size() > 1 ? ", " : "") + std::to_string(k);
    return text + "}";
}

const EdidImage kDefault = hdmiDefaultImage();

std::vector<Row> blockZeroRows() {
    return {
        {0, "header byte 1 is FEh", patched(kDefault, {{1, 0xFE}}), {0}, kDefault, {}},
        {1, "block 0 checksum off by one", [] {
             EdidImage i = kDefault;
             i[127] ^= 1;
             return i;
         }(), {1}, kDefault, {}},
        {2, "no extension announced", patched(kDefault, {{126, 0}}), {2}, kDefault, {}},
        {3, "block 1 checksum off by one", [] {
             EdidImage i = kDefault;
             i[255] ^= 1;
             return i;
         }(), {3}, kDefault, {}},
        {4, "EDID 1.4", patched(kDefault, {{19, 4}}), {4}, kDefault, {}},
        {4, "the DisplayPort default image (EDID 1.4, input A5h)", displayPortDefaultImage(),
         {4, 5}, kDefault, {}},
        {5, "video input A5h; 81h passes", patched(kDefault, {{20, 0xA5}}), {5},
         patched(kDefault, {{20, 0x81}}), {}},
        {5, "video input 00h (analog)", patched(kDefault, {{20, 0x00}}), {5}, kDefault, {}},
        {6, "feature byte without the preferred timing bit", patched(kDefault, {{24, 0x08}}), {6},
         kDefault, {}},
        {7, "slot 1 and 2 hold descriptors", withSlots(kDefault, kDummyDescriptor,
                                                       kDummyDescriptor, kNameDescriptor,
                                                       kRangeDescriptor),
         {7}, kDefault, {}},
        {8, "no range limits descriptor", withSlots(kDefault, kDtd720p60, bytesAt(kDefault, 72, 18),
                                                    kNameDescriptor, kDummyDescriptor),
         {8}, kDefault, {}},
        {8, "neither range limits nor name; the two in slots 4 and 3 pass", withSlots(kDefault, kDtd720p60,
                                                                bytesAt(kDefault, 72, 18),
                                                                kDummyDescriptor, kDummyDescriptor),
         {8, 10}, withSlots(kDefault, kDtd720p60, bytesAt(kDefault, 72, 18), kRangeDescriptor,
                            kNameDescriptor),
         {}},
        {9, "no secondary formula but no 0Ah 20h padding", patched(kDefault, {{119, 0x20}}), {9},
         kDefault, {}},
        {9, "padding checked only without a secondary formula",
         patched(kDefault, {{125, 0x00}}), {9}, patched(kDefault, {{118, 0x02}, {125, 0x00}}), {}},
        {10, "no monitor name descriptor", withSlots(kDefault, kDtd720p60,
                                                     bytesAt(kDefault, 72, 18), kDummyDescriptor,
                                                     kRangeDescriptor),
         {10}, kDefault, {}},
        {11, "a detailed timing in slot 4", withSlots(kDefault, kDtd720p60, kNameDescriptor,
                                                      kRangeDescriptor, kDtd1024x768),
         {11}, withSlots(kDefault, kDtd720p60, kNameDescriptor, kRangeDescriptor,
                         kDummyDescriptor),
         {}},
        {11, "a detailed timing in slot 3", withSlots(kDefault, kNameDescriptor, kRangeDescriptor,
                                                      kDtd720p60, kDummyDescriptor),
         {7, 11}, withSlots(kDefault, kNameDescriptor, kRangeDescriptor, kDummyDescriptor,
                            kDummyDescriptor),
         {7}},
        {11, "a timing in slot 2 after a descriptor in slot 1",
         withSlots(kDefault, kNameDescriptor, kDtd720p60, kRangeDescriptor, kDummyDescriptor),
         {7, 11}, withSlots(kDefault, kNameDescriptor, kRangeDescriptor, kDummyDescriptor,
                            kDummyDescriptor),
         {7}},
        {63, "control character 01h in the name", patched(kDefault, {{95, 0x01}}), {63}, kDefault,
         {}},
        {63, "7Fh in the name; 7Eh passes", patched(kDefault, {{96, 0x7F}}), {63},
         patched(kDefault, {{96, 0x7E}}), {}},
        {63, "1Fh in the name; a 13-character name without line feed passes",
         patched(kDefault, {{97, 0x1F}}), {63},
         patched(kDefault, {{105, 0x21}, {106, 0x22}, {107, 0x23}}), {}},
        {64, "name descriptor byte 4 not zero", patched(kDefault, {{94, 0x01}}), {64}, kDefault,
         {}},
        {64, "range limits descriptor byte 4 not zero", patched(kDefault, {{112, 0x01}}), {64},
         kDefault, {}},
        {65, "00h after the name's line feed", patched(kDefault, {{106, 0x00}}), {65}, kDefault,
         {}},
    };
}

std::vector<Row> blockOneRows() {
    // Two extensions with a CTA block 1 fail 12; a block map in block 1 does
    // not, but then no model is read and no DTD's VIC is found among the SVDs.
    const Items noModel = {74, 76, 78, 80, 82, 84};
    // Five timings after the default blocks and another vendor's block of v
    // payload bytes: with v = 8 the fifth starts at 238 and reaches the
    // checksum; with v = 7 it ends at byte 254, right before the checksum,
    // which is then not taken for another timing's clock.
    const auto fiveTimings = [](int vendorBytes) {
        Bytes other = {static_cast<Byte>(0x60 | vendorBytes), 0x01, 0x02, 0x03};
        other.resize(static_cast<std::size_t>(vendorBytes + 1), 0x00);
        EdidImage image = withBlocks({kVideo, kAudio, kSpeaker, kVsdb, other});
        for (int p = 128 + image[130], k = 0; k < 5; ++k, p += 18)
            for (int b = 0; b < 18 && p + b < 255; ++b)
                image[static_cast<std::size_t>(p + b)] = kDtd1024x768[static_cast<std::size_t>(b)];
        ApplyAutoChecksums(image, true);
        return image;
    };
    return {
        {12, "two extensions and block 1 is not a block map",
         patched(kDefault, {{126, 2}}), {2, 12}, patched(kDefault, {{126, 2}, {128, 0xF0}}),
         [&] {
             Items i = noModel;
             i.insert(2);
             return i;
         }()},
        {13, "revision 1", patched(kDefault, {{129, 1}}), {13}, kDefault, {}},
        {13, "revision 2", patched(kDefault, {{129, 2}}), {13}, kDefault, {}},
        {14, "a tag-0 block", withBlocks({kVideo, kAudio, kSpeaker, kVsdb, {0x00}}), {14},
         withBlocks({kVideo, kAudio, kSpeaker, kVsdb, {0xA1, 0x00}}), {}},
        {14, "a tag-6 block", withBlocks({kVideo, kAudio, {0xC1, 0x00}, kSpeaker, kVsdb}), {14},
         withBlocks({kVideo, kAudio, kSpeaker, kVsdb}), {}},
        {27, "d one byte short of the last block's end", patched(kDefault, {{130, 0x1C}}), {27},
         kDefault, {}},
        {28, "non-zero padding", patched(kDefault, {{250, 0x01}}), {28}, kDefault, {}},
        {28, "a timing runs into the checksum", fiveTimings(8), {28}, fiveTimings(7), {}},
        {29, "no HDMI VSDB", withBlocks({kVideo, kAudio, kSpeaker}), {29}, kDefault, {}},
        {59, "seven native timings of six", patched(kDefault, {{131, 0xF7}}), {59},
         patched(kDefault, {{131, 0xF6}}), {}},
        {106, "YCbCr 4:4:4 without 4:2:2", patched(kDefault, {{131, 0xE2}}), {106}, kDefault, {}},
        {106, "YCbCr 4:2:2 without 4:4:4; neither is not evaluated",
         patched(kDefault, {{131, 0xD2}}), {106}, patched(kDefault, {{131, 0xC2}}), {}},
        {107, "declared YCbCr on other outputs, neither supported",
         patched(kDefault, {{131, 0xC2}}), {107}, kDefault, {}, declaring({&CD::sinkYuvOnOther})},
        {107, "declared YCbCr on other outputs, 4:4:4 only", patched(kDefault, {{131, 0xE2}}),
         {106, 107}, patched(kDefault, {{131, 0xE2}}), {106}, declaring({&CD::sinkYuvOnOther}),
         CD::dialogDefaults()},
    };
}

std::vector<Row> audioRows() {
    const Bytes multichannel = {0x23, 0x0D, 0x07, 0x07}; // LPCM 6 ch
    return {
        {15, "basic audio in the EDID but not declared", kDefault, {15}, kDefault, {},
         CD{.cecRootDevice = true}, CD::dialogDefaults()},
        {15, "basic audio declared but not in the EDID", patched(kDefault, {{131, 0xB2}}),
         {15, 16}, patched(kDefault, {{131, 0xB2}}), {16}, CD::dialogDefaults(),
         CD{.cecRootDevice = true}},
        {16, "an audio block without the basic audio bit", patched(kDefault, {{131, 0xB2}}), {16},
         withBlocks({kVideo, kSpeaker, kVsdb}, 0xB2), {}, CD{.cecRootDevice = true}},
        {17, "audio block of 4 bytes", withAudio({0x24, 0x09, 0x07, 0x07, 0x00}), {17}, kDefault,
         {}},
        {17, "audio block of 8 bytes", withAudio({0x28, 0x09, 0x07, 0x07, 0x0F, 0x07, 0x07, 0x00,
                                                  0x00}),
         {17}, withAudio({0x26, 0x09, 0x07, 0x07, 0x0F, 0x07, 0x07}), {}},
        {18, "descriptor byte 1 bit 7", withAudio({0x23, 0x89, 0x07, 0x07}), {18}, kDefault, {}},
        {18, "descriptor byte 2 bit 7", withAudio({0x23, 0x09, 0x87, 0x07}), {18}, kDefault, {}},
        {19, "LPCM byte 3 bits 7..3", withAudio({0x23, 0x09, 0x07, 0x0F}), {19},
         withAudio({0x26, 0x09, 0x07, 0x07, 0x15, 0x07, 0x50}), {}}, // AC-3: byte 3 is a rate
        {20, "LPCM without 48 kHz", withAudio({0x23, 0x09, 0x03, 0x07}), {20}, kDefault, {}},
        {20, "LPCM without 32 kHz", withAudio({0x23, 0x09, 0x06, 0x07}), {20},
         withAudio({0x26, 0x09, 0x07, 0x07, 0x15, 0x06, 0x50}), {}}, // AC-3 needs no 32 kHz
        {21, "6-channel LPCM and no speaker block", withBlocks({kVideo, multichannel, kVsdb}), {21},
         withBlocks({kVideo, multichannel, kSpeaker, kVsdb}), {}},
        {21, "3-channel LPCM and no speaker block; 2 channels need none",
         withBlocks({kVideo, {0x23, 0x0A, 0x07, 0x07}, kVsdb}), {21},
         withBlocks({kVideo, kAudio, kVsdb}), {}},
        {21, "a speaker block before the audio block",
         withBlocks({kVideo, multichannel, kVsdb}), {21},
         withBlocks({kVideo, kSpeaker, multichannel, kVsdb}), {}},
        {22, "speaker block of 4 bytes", withBlocks({kVideo, kAudio, {0x84, 0x01, 0x00, 0x00, 0x00},
                                                     kVsdb}),
         {22}, kDefault, {}},
        {22, "speaker block of 2 bytes", withBlocks({kVideo, kAudio, kVsdb, {0x82, 0x01, 0x00}}),
         {22}, kDefault, {}},
        {23, "speaker byte 1 bit 7", withBlocks({kVideo, kAudio, {0x83, 0x81, 0x00, 0x00}, kVsdb}),
         {23}, withBlocks({kVideo, kAudio, {0x83, 0x7F, 0x00, 0x00}, kVsdb}), {}},
        {24, "speaker byte 2 not zero", withBlocks({kVideo, kAudio, {0x83, 0x01, 0x01, 0x00},
                                                    kVsdb}),
         {24}, kDefault, {}},
        {24, "speaker byte 3 not zero", withBlocks({kVideo, kAudio, {0x83, 0x01, 0x00, 0x80},
                                                    kVsdb}),
         {24}, kDefault, {}},
        {25, "two speaker blocks", withBlocks({kVideo, kAudio, kSpeaker, kSpeaker, kVsdb}), {25},
         kDefault, {}},
        {60, "an audio block opening with the HDMI OUI",
         withAudio({0x23, 0x03, 0x0C, 0x00}), {60}, kDefault, {}},
        {60, "a video block opening with the HDMI OUI",
         withBlocks({{0x45, 0x03, 0x0C, 0x00, 0x04, 0x05}, kAudio, kSpeaker, kVsdb}), {60, 108},
         withBlocks({{0x45, 0x03, 0x0C, 0x01, 0x04, 0x05}, kAudio, kSpeaker, kVsdb}), {}},
        {60, "a speaker block opening with the HDMI OUI",
         withBlocks({kVideo, kAudio, {0x83, 0x03, 0x0C, 0x00}, kVsdb}), {24, 60},
         withBlocks({kVideo, kAudio, {0x83, 0x03, 0x0C, 0x01}, kVsdb}), {24}},
    };
}

std::vector<Row> videoRows() {
    return {
        {108, "SVD 00h", withBlocks({{0x43, 0x04, 0x05, 0x00}, kAudio, kSpeaker, kVsdb}), {108},
         withBlocks({{0x43, 0x04, 0x05, 0x81}, kAudio, kSpeaker, kVsdb}), {}},
        {108, "SVD 80h", withBlocks({{0x43, 0x04, 0x05, 0x80}, kAudio, kSpeaker, kVsdb}), {108},
         kDefault, {}},
        {109, "VIC 65; 64 passes", withBlocks({{0x43, 0x04, 0x05, 0x41}, kAudio, kSpeaker, kVsdb}),
         {109}, withBlocks({{0x43, 0x04, 0x05, 0x40}, kAudio, kSpeaker, kVsdb}), {}},
        {109, "native VIC 65", withBlocks({{0x43, 0x04, 0x05, 0xC1}, kAudio, kSpeaker, kVsdb}),
         {109}, withBlocks({{0x43, 0x04, 0x05, 0xC0}, kAudio, kSpeaker, kVsdb}), {}},
        {68, "video capability without CE scan information",
         withBlocks({kVideo, kAudio, kSpeaker, kVsdb, {0xE2, 0x00, 0x0C}}), {68},
         withBlocks({kVideo, kAudio, kSpeaker, kVsdb, {0xE2, 0x00, 0x0D}}), {}},
        {69, "video capability without IT scan information",
         withBlocks({kVideo, kAudio, kSpeaker, kVsdb, {0xE2, 0x00, 0x03}}), {69},
         withBlocks({kVideo, kAudio, kSpeaker, kVsdb, {0xE2, 0x00, 0x07}}), {}},
        {70, "xvYCC601 without metadata profile 0",
         withBlocks({kVideo, kAudio, kSpeaker, kVsdb, {0xE3, 0x05, 0x01, 0x00}}), {70},
         withBlocks({kVideo, kAudio, kSpeaker, kVsdb, {0xE3, 0x05, 0x01, 0x01}}), {}},
        {70, "xvYCC709 without metadata profile 0",
         withBlocks({kVideo, kAudio, kSpeaker, kVsdb, {0xE3, 0x05, 0x02, 0x00}}), {70},
         withBlocks({kVideo, kAudio, kSpeaker, kVsdb, {0xE3, 0x05, 0x02, 0x01}}), {}},
        {71, "metadata profile 0 without xvYCC",
         withBlocks({kVideo, kAudio, kSpeaker, kVsdb, {0xE3, 0x05, 0x1C, 0x01}}), {71},
         withBlocks({kVideo, kAudio, kSpeaker, kVsdb, {0xE3, 0x05, 0x1C, 0x00}}), {}},
        {71, "metadata profile 1",
         withBlocks({kVideo, kAudio, kSpeaker, kVsdb, {0xE3, 0x05, 0x01, 0x03}}), {71},
         withBlocks({kVideo, kAudio, kSpeaker, kVsdb, {0xE3, 0x05, 0x01, 0x01}}), {}},
        {72, "colorimetry bit 7 (BT.2020 RGB)",
         withBlocks({kVideo, kAudio, kSpeaker, kVsdb, {0xE3, 0x05, 0x81, 0x01}}), {72},
         withBlocks({kVideo, kAudio, kSpeaker, kVsdb, {0xE3, 0x05, 0x1F, 0x01}}), {}},
        {72, "colorimetry bit 5 only",
         withBlocks({kVideo, kAudio, kSpeaker, kVsdb, {0xE3, 0x05, 0x20, 0x00}}), {72},
         withBlocks({kVideo, kAudio, kSpeaker, kVsdb, {0xE3, 0x06, 0x20, 0x00}}), {}},
    };
}

std::vector<Row> vsdbRows() {
    const CD threeD = declaring({&CD::sink3D});
    const CD fourK = declaring({&CD::sink4Kx2K});
    const CD threeDAdditional = declaring({&CD::sink3D, &CD::sink3DAdditional});
    const CD ai = declaring({&CD::sinkSupportAI});
    const CD notRoot = CD{.sinkBasicAudio = true};
    const CD oneOutput = CD{.hdmiOutputCount = 1, .sinkBasicAudio = true};
    // HDMI video fields after byte 8: the 3D byte, the lengths and the lists.
    const auto video = [](Byte threeDByte, const Bytes& vics, const Bytes& entries = {}) {
        Bytes b = {threeDByte,
                   static_cast<Byte>(vics.size() << 5 | entries.size())};
        b.insert(b.end(), vics.begin(), vics.end());
        b.insert(b.end(), entries.begin(), entries.end());
        return b;
    };
    const auto join = [](Bytes a, const Bytes& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const Bytes latency2 = {0x0A, 0x0A};
    const Bytes latency4 = {0x0A, 0x0A, 0x0A, 0x0A};
    return {
        {30, "two HDMI VSDBs", withBlocks({kVideo, kAudio, kSpeaker, kVsdb, kVsdb}), {30},
         kDefault, {}},
        {31, "address 0.0.0.0 for a root device",
         withVsdb(hdmiVsdb({}, 0x00, 0x00)), {31}, withVsdb(hdmiVsdb({}, 0x20, 0x00)), {}},
        {31, "address 1.1.0.0 for a root device", withVsdb(hdmiVsdb({}, 0x11, 0x00)), {31},
         withVsdb(hdmiVsdb({}, 0x11, 0x00)), {}, CD::dialogDefaults(), oneOutput},
        {31, "address 1.0.0.1 for a root device", withVsdb(hdmiVsdb({}, 0x10, 0x01)), {31},
         withVsdb(hdmiVsdb({}, 0x10, 0x01)), {61}, CD::dialogDefaults(), notRoot},
        {61, "no outputs and not the CEC root", kDefault, {61}, kDefault, {}, notRoot,
         oneOutput},
        {62, "VSDB of 4 bytes", withVsdb({0x64, 0x03, 0x0C, 0x00, 0x10}), {62}, kDefault, {}},
        {62, "Supports_AI declared and a 5-byte VSDB", kDefault, {34, 62},
         withVsdb(hdmiVsdb({0x80})), {}, ai},
        {34, "Supports_AI declared but not set", withVsdb(hdmiVsdb({0x00})), {34},
         withVsdb(hdmiVsdb({0x80})), {}, ai},
        {34, "Supports_AI set but not declared", withVsdb(hdmiVsdb({0x80})), {34},
         withVsdb(hdmiVsdb({0x00})), {}},
        {35, "3D declared and a 5-byte VSDB", kDefault, {35},
         withVsdb(vsdbFrom8(0x20, video(0x80, {}))), {}, threeD},
        {35, "4Kx2K declared and HDMI video fields cut", withVsdb(vsdbFrom8(0x20, {0x00})),
         {35, 45, 51}, withVsdb(vsdbFrom8(0x20, video(0x00, {0x01}))), {}, fourK},
        {36, "byte 6 bit 1", withVsdb(hdmiVsdb({0x02})), {36}, kDefault, {}},
        {36, "byte 6 bit 2", withVsdb(hdmiVsdb({0x04, 0x2D})), {36},
         withVsdb(hdmiVsdb({0x79, 0x2D})), {}},
        {37, "DC_Y444 without a depth", withVsdb(hdmiVsdb({0x08, 0x2D})), {37},
         withVsdb(hdmiVsdb({0x28, 0x2D})), {}},
        {38, "DC_30bit without DC_36bit", withVsdb(hdmiVsdb({0x10, 0x2D})), {38, 111},
         withVsdb(hdmiVsdb({0x30, 0x2D})), {}},
        {38, "DC_48bit without DC_36bit", withVsdb(hdmiVsdb({0x40, 0x2D})), {38, 111},
         withVsdb(hdmiVsdb({0x60, 0x2D})), {}},
        {39, "deep colour and no TMDS clock byte", withVsdb(hdmiVsdb({0x20})), {39, 110},
         withVsdb(hdmiVsdb({0x20, 0x2D})), {}},
        {40, "DVI_Dual and no TMDS clock byte", withVsdb(hdmiVsdb({0x01})), {40, 110},
         withVsdb(hdmiVsdb({0x01, 0x2D})), {}},
        {41, "deep colour and a zero TMDS clock", withVsdb(hdmiVsdb({0x20, 0x00})), {41, 110},
         withVsdb(hdmiVsdb({0x20, 0x2D})), {}},
        {42, "DVI_Dual and a zero TMDS clock", withVsdb(hdmiVsdb({0x01, 0x00})), {42, 110},
         withVsdb(hdmiVsdb({0x01, 0x2D})), {}},
        {43, "byte 8 bit 4", withVsdb(vsdbFrom8(0x10)), {43}, withVsdb(vsdbFrom8(0x00)), {}},
        {110, "a 165.01 MHz timing and no TMDS clock",
         withSlots(kDefault, withClock(kDtd1024x768, 16501), bytesAt(kDefault, 72, 18),
                   kNameDescriptor, kRangeDescriptor),
         {110},
         withSlots(kDefault, withClock(kDtd1024x768, 16500), bytesAt(kDefault, 72, 18),
                   kNameDescriptor, kRangeDescriptor),
         {}},
        {110, "a 170 MHz timing; a TMDS clock passes",
         withSlots(kDefault, withClock(kDtd1024x768, 17000), bytesAt(kDefault, 72, 18),
                   kNameDescriptor, kRangeDescriptor),
         {110},
         withSlots(withVsdb(hdmiVsdb({0x00, 0x22})), withClock(kDtd1024x768, 17000),
                   bytesAt(kDefault, 72, 18), kNameDescriptor, kRangeDescriptor),
         {}},
        {111, "DC_30bit and DC_48bit without DC_36bit", withVsdb(hdmiVsdb({0x50, 0x2D})),
         {38, 111}, withVsdb(hdmiVsdb({0x70, 0x2D})), {}},

        // Byte 8 bits 7..5: latency, interlaced latency, HDMI video. The fields
        // each flag announces must fit in the block, and the HDMI video flag
        // must agree with the 3D and 4Kx2K declarations.
        {44, "3D declared, no flags", withVsdb(vsdbFrom8(0x00)), {35, 44},
         withVsdb(vsdbFrom8(0x00)), {}, threeD, CD::dialogDefaults()},
        {44, "3D declared, interlaced latency only", withVsdb(vsdbFrom8(0x40, latency2)),
         {35, 44, 55}, withVsdb(vsdbFrom8(0x40, latency2)), {55}, threeD, CD::dialogDefaults()},
        {44, "4Kx2K declared, latency only", withVsdb(vsdbFrom8(0x80, latency2)), {35, 44},
         withVsdb(vsdbFrom8(0x80, latency2)), {}, fourK, CD::dialogDefaults()},
        {44, "4Kx2K declared, both latencies", withVsdb(vsdbFrom8(0xC0, latency4)), {35, 44},
         withVsdb(vsdbFrom8(0xC0, latency4)), {}, fourK, CD::dialogDefaults()},
        {45, "HDMI video flag and a 9-byte VSDB", withVsdb(vsdbFrom8(0x20, {0x80})), {35, 45},
         withVsdb(vsdbFrom8(0x20, video(0x80, {}))), {}, threeD},
        {46, "HDMI video fields, nothing declared", withVsdb(vsdbFrom8(0x20, video(0x00, {}))),
         {46}, withVsdb(vsdbFrom8(0x20, video(0x80, {}))), {}, CD::dialogDefaults(), threeD},
        {46, "HDMI video and interlaced latency only, nothing declared",
         withVsdb(vsdbFrom8(0x60, latency2)), {46, 55}, withVsdb(vsdbFrom8(0x60, latency2)),
         {55}, CD::dialogDefaults(), threeD},
        {46, "latency and HDMI video, nothing declared",
         withVsdb(vsdbFrom8(0xA0, join(latency2, video(0x00, {})))), {46},
         withVsdb(vsdbFrom8(0xA0, join(latency2, video(0x80, {})))), {}, CD::dialogDefaults(),
         threeD},
        {46, "both latencies and HDMI video, nothing declared",
         withVsdb(vsdbFrom8(0xE0, join(latency4, video(0x00, {})))), {46},
         withVsdb(vsdbFrom8(0xE0, join(latency4, video(0x80, {})))), {}, CD::dialogDefaults(),
         threeD},
        {47, "3D declared, 3D_present clear", withVsdb(vsdbFrom8(0x20, video(0x00, {}))), {47},
         withVsdb(vsdbFrom8(0x20, video(0x80, {}))), {}, threeD},
        {48, "3D_present set, 3D not declared", withVsdb(vsdbFrom8(0x20, video(0x80, {0x01}))),
         {48}, withVsdb(vsdbFrom8(0x20, video(0x00, {0x01}))), {}, fourK},
        {49, "additional 3D declared, no 3D entries", withVsdb(vsdbFrom8(0x20, video(0x80, {}))),
         {49}, withVsdb(vsdbFrom8(0x20, video(0x80, {}, {0x00}))), {}, threeDAdditional},
        {50, "3D entries, additional 3D not declared",
         withVsdb(vsdbFrom8(0x20, video(0x80, {}, {0x00}))), {50},
         withVsdb(vsdbFrom8(0x20, video(0x80, {}))), {}, threeD},
        {51, "4Kx2K declared, no HDMI VIC", withVsdb(vsdbFrom8(0x20, video(0x00, {}))), {51},
         withVsdb(vsdbFrom8(0x20, video(0x00, {0x04}))), {}, fourK},
        {52, "HDMI VIC 5; 4 passes", withVsdb(vsdbFrom8(0x20, video(0x00, {0x05}))), {52},
         withVsdb(vsdbFrom8(0x20, video(0x00, {0x04}))), {}, fourK},
        {52, "HDMI VIC 0; 1 passes", withVsdb(vsdbFrom8(0x20, video(0x00, {0x00}))), {52},
         withVsdb(vsdbFrom8(0x20, video(0x00, {0x01}))), {}, fourK},
        {52, "HDMI VICs 5, 1", withVsdb(vsdbFrom8(0x20, video(0x00, {0x05, 0x01}))), {52},
         withVsdb(vsdbFrom8(0x20, video(0x00, {0x02, 0x03}))), {}, fourK},
        {52, "HDMI VICs 1, 5", withVsdb(vsdbFrom8(0x20, video(0x00, {0x01, 0x05}))), {52},
         withVsdb(vsdbFrom8(0x20, video(0x00, {0x01, 0x02, 0x03, 0x04}))), {}, fourK},
        // Of two HDMI VSDBs (item 30) the later one's HDMI VICs decide.
        {52, "two VSDBs, the later with HDMI VIC 5",
         withBlocks({kVideo, kAudio, kSpeaker, vsdbFrom8(0x20, video(0x00, {0x01})),
                     vsdbFrom8(0x20, video(0x00, {0x05}))}),
         {30, 52},
         withBlocks({kVideo, kAudio, kSpeaker, vsdbFrom8(0x20, video(0x00, {0x05})),
                     vsdbFrom8(0x20, video(0x00, {0x01}))}),
         {30}, fourK},
        {53, "HDMI VIC 5 without 4Kx2K declared (52 is not evaluated)",
         withVsdb(vsdbFrom8(0x20, video(0x80, {0x05}))), {53},
         withVsdb(vsdbFrom8(0x20, video(0x80, {}))), {}, threeD},
        {54, "latency and HDMI video in 11 bytes",
         withVsdb(vsdbFrom8(0xA0, join(latency2, {0x80}))), {54},
         withVsdb(vsdbFrom8(0xA0, join(latency2, video(0x80, {})))), {}, threeD},
        {55, "interlaced latency without latency", withVsdb(vsdbFrom8(0x40, latency2)), {55},
         withVsdb(vsdbFrom8(0xC0, latency4)), {}},
        {56, "latency in 9 bytes", withVsdb(vsdbFrom8(0x80, {0x0A})), {56},
         withVsdb(vsdbFrom8(0x80, latency2)), {}},
        {57, "both latencies in 11 bytes", withVsdb(vsdbFrom8(0xC0, {0x0A, 0x0A, 0x0A})), {57},
         withVsdb(vsdbFrom8(0xC0, latency4)), {}},
        {57, "both latencies and HDMI video in 13 bytes",
         withVsdb(vsdbFrom8(0xE0, join(latency4, {0x80}))), {57},
         withVsdb(vsdbFrom8(0xE0, join(latency4, video(0x80, {})))), {}, threeD},
        {58, "a non-zero byte after byte 8", withVsdb(vsdbFrom8(0x00, {0x01})), {58},
         withVsdb(vsdbFrom8(0x00, {0x00})), {}},
        {58, "a non-zero byte after the latency fields", withVsdb(vsdbFrom8(0x80, join(latency2, {0x01}))),
         {58}, withVsdb(vsdbFrom8(0x80, join(latency2, {0x00}))), {}},
        {58, "a non-zero byte after both latencies",
         withVsdb(vsdbFrom8(0xC0, join(latency4, {0x00, 0x01}))), {58},
         withVsdb(vsdbFrom8(0xC0, join(latency4, {0x00, 0x00}))), {}},
        {58, "a non-zero byte after the HDMI VICs",
         withVsdb(vsdbFrom8(0x20, join(video(0x80, {0x01}), {0x07}))), {58},
         withVsdb(vsdbFrom8(0x20, join(video(0x80, {0x01}), {0x00}))), {},
         declaring({&CD::sink3D, &CD::sink4Kx2K})},
        {58, "a non-zero byte after the 3D entries",
         withVsdb(vsdbFrom8(0xA0, join(latency2, join(video(0x80, {}, {0x00}), {0x05})))), {58},
         withVsdb(vsdbFrom8(0xA0, join(latency2, join(video(0x80, {}, {0x00}), {0x00})))), {},
         threeDAdditional},
    };
}

// 8-18: each declared format needs one of its VICs among the SVDs. Block 0
// holds timings that match no format, so that only the SVDs matter.
std::vector<Row> formatRows() {
    const auto svds = [](const Bytes& vics) {
        Bytes video = {static_cast<Byte>(0x40 | vics.size())};
        video.insert(video.end(), vics.begin(), vics.end());
        return withSlots(withBlocks({video, kAudio, kSpeaker, kVsdb}), kDtd1024x768,
                         kDtd1024x768, kNameDescriptor, kRangeDescriptor);
    };
    const CD at60 = declaring({&CD::sink60Hz});
    const CD at50 = declaring({&CD::sink50Hz});
    const CD hd60 = declaring({&CD::sink60Hz, &CD::sinkHdtv});
    const CD hd50 = declaring({&CD::sink50Hz, &CD::sinkHdtv});
    return {
        {98, "60 Hz declared, VIC 1 only; VIC 2 passes", svds({1}), {98}, svds({2}), {}, at60},
        {98, "60 Hz declared, VIC 17 only; VIC 3 passes", svds({17}), {98}, svds({3}), {}, at60},
        {99, "60 Hz HDTV declared, VIC 2 only; VIC 4 passes", svds({2}), {99}, svds({2, 4}), {},
         hd60},
        {99, "60 Hz HDTV declared, VIC 2, 19; VIC 5 passes", svds({2, 19}), {99}, svds({0x85, 2}),
         {}, hd60},
        {100, "50 Hz declared, VIC 2 only; VIC 17 passes", svds({2}), {100}, svds({17}), {}, at50},
        {100, "50 Hz declared, VIC 3 only; VIC 18 passes", svds({3}), {100}, svds({18}), {}, at50},
        {101, "50 Hz HDTV declared, VIC 17, 4; VIC 19 passes", svds({17, 4}), {101},
         svds({17, 19}), {}, hd50},
        {101, "50 Hz HDTV declared, VIC 17, 5; VIC 20 passes", svds({17, 5}), {101},
         svds({17, 20}), {}, hd50},
        {102, "720p60 declared, VIC 5 only; VIC 4 passes", svds({5}), {102}, svds({4}), {},
         declaring({&CD::sink720p60Other})},
        {103, "1080i60 declared, VIC 4 only; VIC 5 passes", svds({4}), {103}, svds({5}), {},
         declaring({&CD::sink1080i60Other})},
        {104, "720p50 declared, VIC 4, 20; VIC 19 passes", svds({4, 20}), {104}, svds({19}), {},
         declaring({&CD::sink720p50Other})},
        {105, "1080i50 declared, VIC 5, 19; VIC 20 passes", svds({5, 19}), {105}, svds({20}), {},
         declaring({&CD::sink1080i50Other})},
        {98, "HDTV alone is no format declaration", svds({1}), {98}, svds({1}), {}, at60,
         declaring({&CD::sinkHdtv})},
    };
}

// 8-17: timing i (0..9) of the image matches 1280x720p 60 Hz; every other
// timing matches no format. Item 74 + 2i asks for VIC 4 among the SVDs, item
// 75 + 2i for the exact 74.25 MHz clock. A ninth and tenth timing leave no
// slot for the range limits and monitor name.
std::vector<Row> timingRows() {
    std::vector<Row> rows;
    for (int i = 0; i < 10; ++i) {
        const auto image = [i](bool exactClock, Byte svd) {
            std::vector<Bytes> timings(static_cast<std::size_t>(i), kDtd1024x768);
            timings.push_back(exactClock ? kDtd720p60 : withClock(kDtd720p60, 0x1D00));
            return withTimings(timings, svd);
        };
        const Items common = i == 8 ? Items{8, 11} : i == 9 ? Items{8, 10, 11} : Items{};
        const auto with = [&](int item) {
            Items s = common;
            s.insert(item);
            return s;
        };
        const std::string n = std::to_string(i + 1);
        rows.push_back({74 + 2 * i, "timing " + n + " is VIC 4, the SVD is VIC 16",
                        image(true, 16), with(74 + 2 * i), image(true, 4), common});
        rows.push_back({75 + 2 * i, "timing " + n + " is VIC 4 at 74.24 MHz", image(false, 4),
                        with(75 + 2 * i), image(true, 4), common});
    }
    return rows;
}

std::vector<Row> allRows() {
    std::vector<Row> rows;
    for (auto part : {blockZeroRows, blockOneRows, audioRows, videoRows, vsdbRows, formatRows,
                      timingRows})
        for (Row& row : part())
            rows.push_back(std::move(row));
    return rows;
}

TEST(AnalyserItems, EachRuleFailsItsImageAndPassesItsPair) {
    for (const Row& row : allRows()) {
        SCOPED_TRACE(testing::Message() << "item " << row.item << ": " << row.what);
        ASSERT_TRUE(row.failingFails.count(row.item)) << "the row's failing set lacks its item";
        ASSERT_FALSE(row.passingFails.count(row.item)) << "the row's passing set has its item";
        EXPECT_EQ(listed(failedItems(row.failing, row.declaration)), listed(row.failingFails))
            << "failing image";
        EXPECT_EQ(listed(failedItems(row.passing, row.passingDeclaration.value_or(row.declaration))),
                  listed(row.passingFails))
            << "passing image";
    }
}

// Real EDIDs with the fault an item names, each confirmed by the line of
// edid-decode's listing (tests/data/corpus/edid-decode) quoted beside it.
TEST(AnalyserItems, RealEdidsFailTheItemsTheirListingsShow) {
    const struct {
        const char* file;
        int item;
        const char* evidence;
    } rows[] = {
        {"len_0001_go-display_256.bin", 7, "slot 1: Dummy Descriptor"},
        {"acr_0282_s230hl_256.bin", 14, "Unknown CTA-861 Data Block (tag 0x00, length 0)"},
        {"del_f016_dell-u2410_256.bin", 17, "Broken CTA-861 audio block length 8"},
        {"eqv_1080_256.bin", 20, "Linear PCM, Supported sample rates (kHz): 48"},
        {"aoc_2357_d2357ph_256.bin", 30, "two Vendor-Specific Data Blocks (HDMI)"},
        {"zzz_e435_hdmi_256.bin", 37, "DC_Y444 and no DC_30bit, DC_36bit or DC_48bit"},
        {"phl_c179_phl-436m6vbp_256.bin", 38, "DC_30bit without DC_36bit"},
        {"phl_c179_phl-436m6vbp_256.bin", 111, "DC_30bit without DC_36bit"},
        {"acr_0497_ka220hq_256.bin", 62, "HDMI VSDB: no source physical address"},
        {"app_9220_cinema-hd_256.bin", 65, "Display Product Name: Non-space after newline"},
        {"sgt_0000_ysd_256.bin", 68, "CE scan behavior: CE video formats not supported"},
        {"sgt_0000_ysd_256.bin", 69, "IT scan behavior: IT video formats not supported"},
        {"gbt_2708_g27f_256.bin", 70, "Colorimetry: xvYCC709 and no MD0"},
        {"gbt_2708_g27f_256.bin", 72, "Colorimetry: BT2020YCC, BT2020RGB"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.file << ", item " << row.item << ": " << row.evidence);
        const std::string bytes =
            test::readFile(std::filesystem::path(PELLAM_CORPUS_DIR) / row.file);
        ASSERT_FALSE(bytes.empty());
        EXPECT_TRUE(failedItems(test::imageFromBytes(bytes), CD::dialogDefaults()).count(row.item));
    }
}

TEST(AnalyserItems, EveryItemHasAMessageAndNothingElseHasOne) {
    for (int k = 0; k < kAnalyserItemCount; ++k)
        EXPECT_FALSE(analyserMessage(k).empty()) << k;
    EXPECT_EQ(analyserMessage(0), "Block 0 Header");
    EXPECT_EQ(analyserMessage(108), "Illegal SVD");
    EXPECT_TRUE(analyserMessage(-1).empty());
    EXPECT_TRUE(analyserMessage(kAnalyserItemCount).empty());
}

TEST(AnalyserItems, EveryItemWithARuleHasARow) {
    Items withRow;
    for (const Row& row : allRows())
        withRow.insert(row.item);
    Items expected;
    const Items printedOnly = {26, 32, 33, 66, 67, 73, 94, 95, 96, 97};
    for (int k = 0; k < kAnalyserItemCount; ++k)
        if (!printedOnly.count(k))
            expected.insert(k);
    EXPECT_EQ(listed(withRow), listed(expected));
}

} // namespace
} // namespace pellam
