#include "core/cea/modern_blocks.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace pellam {

namespace {

constexpr int kTagVendorSpecificBlock = 3;
constexpr int kTagExtendedBlock = 7;
constexpr int kMaxBlockSize = 32; // a 5-bit payload length plus the header
constexpr std::array<Byte, 3> kHdmiForumOui = {0xD8, 0x5D, 0xC4}; // C4-5D-D8, low byte first

Byte headerByte(int tag, std::size_t size) {
    return static_cast<Byte>((tag & 7) << 5 | ((size - 1) & 31));
}

// The block the header byte sizes, or nullopt when fewer bytes were given.
std::optional<DataBlockSpan> sizedBlock(DataBlockSpan given) {
    if (given.empty())
        return std::nullopt;
    const std::size_t size = 1 + (given[0] & 31u);
    if (given.size() < size)
        return std::nullopt;
    return given.first(size);
}

// A tag-7 block of the given extended tag, at least minSize bytes long.
std::optional<DataBlockSpan> extendedBlock(DataBlockSpan given, int extTag, std::size_t minSize) {
    const auto block = sizedBlock(given);
    if (!block || block->size() < std::max<std::size_t>(minSize, 2) ||
        getBitRange((*block)[0], 7, 5) != kTagExtendedBlock || (*block)[1] != extTag)
        return std::nullopt;
    return block;
}

// One flag of a record at a bit of a block byte (block index, header = 0).
template <class Record>
struct FlagBit {
    std::size_t index;
    unsigned bit;
    bool Record::*field;
};

// One multi-bit field of a record at bits high..low of a block byte.
template <class Record>
struct FieldBits {
    std::size_t index;
    unsigned high;
    unsigned low;
    int Record::*field;
};

// Reads the flags and fields whose byte the block holds.
template <class Record, std::size_t NF, std::size_t NB>
void readBits(DataBlockSpan block, const FlagBit<Record> (&flags)[NF],
              const FieldBits<Record> (&fields)[NB], Record& out) {
    for (const auto& f : flags)
        if (f.index < block.size())
            out.*f.field = getBit(block[f.index], f.bit);
    for (const auto& f : fields)
        if (f.index < block.size())
            out.*f.field = static_cast<int>(getBitRange(block[f.index], f.high, f.low));
}

// Writes them into the bytes of `out` there are.
template <class Record, std::size_t NF, std::size_t NB>
void writeBits(const Record& in, const FlagBit<Record> (&flags)[NF],
               const FieldBits<Record> (&fields)[NB], std::vector<Byte>& out) {
    for (const auto& f : flags)
        if (f.index < out.size())
            out[f.index] = setBit(out[f.index], f.bit, in.*f.field);
    for (const auto& f : fields)
        if (f.index < out.size())
            out[f.index] =
                setBitRange(out[f.index], f.high, f.low, static_cast<unsigned>(in.*f.field));
}

// Copies `bytes` into `out` from `at`, as far as `out` reaches.
void placeBytes(const std::vector<Byte>& bytes, std::size_t at, std::vector<Byte>& out) {
    for (std::size_t i = 0; i < bytes.size() && at + i < out.size(); ++i)
        out[at + i] = bytes[i];
}

std::vector<Byte> bytesFrom(DataBlockSpan block, std::size_t at) {
    if (at >= block.size())
        return {};
    return {block.begin() + static_cast<std::ptrdiff_t>(at), block.end()};
}

} // namespace

// ---------------------------------------------------------------------------

std::vector<CtaDataBlockInfo> listCtaDataBlocks(std::span<const Byte, 128> block) {
    std::vector<CtaDataBlockInfo> list;
    if (block[0] != 0x02 || block[1] < 3)
        return list;
    const int dtdStart = std::min<int>(block[2], 127);
    int at = 4;
    while (at < dtdStart) {
        CtaDataBlockInfo info;
        info.offset = at;
        info.tag = static_cast<int>(getBitRange(block[at], 7, 5));
        info.length = block[at] & 31;
        const int end = at + 1 + info.length;
        info.overrunsDtdStart = end > dtdStart;
        info.bytes.assign(block.begin() + at, block.begin() + std::min(end, 127));
        if (info.tag == kTagExtendedBlock && info.length >= 1 && info.bytes.size() >= 2)
            info.extTag = info.bytes[1];
        list.push_back(std::move(info));
        at = end;
    }
    return list;
}

// ---------------------------------------------------------------------------

ShortVideoCode decodeSvd(Byte svd) {
    if (svd >= 128 && svd <= 192)
        return {svd - 128, true};
    return {svd, false};
}

Byte encodeSvd(const ShortVideoCode& svd) {
    if (svd.native && svd.vic >= 0 && svd.vic <= 64)
        return static_cast<Byte>(0x80 | svd.vic);
    return static_cast<Byte>(svd.vic);
}

// ---------------------------------------------------------------------------

namespace {

using HF = HdmiForumBlock;

constexpr FlagBit<HF> kHfFlags[] = {
    {6, 7, &HF::scdcPresent},
    {6, 6, &HF::rrCapable},
    {6, 5, &HF::cableStatus},
    {6, 4, &HF::ccbpci},
    {6, 3, &HF::lte340McscScramble},
    {6, 2, &HF::independentView},
    {6, 1, &HF::dualView},
    {6, 0, &HF::osdDisparity},
    {7, 3, &HF::uhdVic},
    {7, 2, &HF::dc48bit420},
    {7, 1, &HF::dc36bit420},
    {7, 0, &HF::dc30bit420},
    {8, 7, &HF::fapaEndExtended},
    {8, 6, &HF::qms},
    {8, 5, &HF::mDelta},
    {8, 4, &HF::cinemaVrr},
    {8, 3, &HF::cnmvrr},
    {8, 2, &HF::fva},
    {8, 1, &HF::allm},
    {8, 0, &HF::fapaStartLocation},
    {11, 7, &HF::dsc1p2},
    {11, 6, &HF::dscNative420},
    {11, 5, &HF::qmsTfrMax},
    {11, 4, &HF::qmsTfrMin},
    {11, 3, &HF::dscAllBpp},
    {11, 2, &HF::dsc16bpc},
    {11, 1, &HF::dsc12bpc},
    {11, 0, &HF::dsc10bpc},
};

constexpr FieldBits<HF> kHfFields[] = {
    {4, 7, 0, &HF::version},
    {5, 7, 0, &HF::maxTmdsCharacterRate},
    {7, 7, 4, &HF::maxFrlRate},
    {9, 5, 0, &HF::vrrMin},
    {12, 7, 4, &HF::dscMaxFrlRate},
    {12, 3, 0, &HF::dscMaxSlices},
    {13, 5, 0, &HF::dscTotalChunkKBytes},
};

constexpr std::size_t kHfVrrIndex = 9;    // VRRmax bits 9..8 in bits 7..6, VRRmin in 5..0
constexpr std::size_t kHfVrrMaxLow = 10;  // VRRmax bits 7..0
constexpr std::size_t kHfChunkIndex = 13; // bits 7..6 reserved
constexpr std::size_t kHfTrailingFrom = 14;

} // namespace

bool isHdmiForumVsdb(DataBlockSpan block) {
    return block.size() >= 4 && getBitRange(block[0], 7, 5) == kTagVendorSpecificBlock &&
           (block[0] & 31) >= 3 &&
           std::equal(kHdmiForumOui.begin(), kHdmiForumOui.end(), block.begin() + 1);
}

bool isHdmiForumScdb(DataBlockSpan block) {
    return block.size() >= 2 && getBitRange(block[0], 7, 5) == kTagExtendedBlock &&
           (block[0] & 31) >= 1 && block[1] == HdmiForumBlock::kScdbExtTag;
}

std::optional<HdmiForumBlock> decodeHdmiForumBlock(DataBlockSpan given) {
    const auto block = sizedBlock(given);
    if (!block || block->size() < HdmiForumBlock::kMinSize)
        return std::nullopt;
    const DataBlockSpan b = *block;
    HdmiForumBlock out;
    if (isHdmiForumScdb(b)) {
        out.kind = HdmiForumKind::Scdb;
        out.scdbReserved = {b[2], b[3]};
    } else if (!isHdmiForumVsdb(b)) {
        return std::nullopt;
    }
    out.size = static_cast<int>(b.size());
    readBits(b, kHfFlags, kHfFields, out);
    if (b.size() > kHfVrrIndex)
        out.vrrMax = static_cast<int>(getBitRange(b[kHfVrrIndex], 7, 6)) << 8;
    if (b.size() > kHfVrrMaxLow)
        out.vrrMax |= b[kHfVrrMaxLow];
    if (b.size() > kHfChunkIndex)
        out.chunkByteReserved = b[kHfChunkIndex] & 0xC0;
    out.trailing = bytesFrom(b, kHfTrailingFrom);
    return out;
}

std::vector<Byte> encodeHdmiForumBlock(const HdmiForumBlock& in) {
    const auto size =
        static_cast<std::size_t>(std::clamp(in.size, HdmiForumBlock::kMinSize, kMaxBlockSize));
    std::vector<Byte> out(size, 0);
    if (in.kind == HdmiForumKind::Scdb) {
        out[0] = headerByte(kTagExtendedBlock, size);
        out[1] = HdmiForumBlock::kScdbExtTag;
        out[2] = in.scdbReserved[0];
        out[3] = in.scdbReserved[1];
    } else {
        out[0] = headerByte(kTagVendorSpecificBlock, size);
        std::copy(kHdmiForumOui.begin(), kHdmiForumOui.end(), out.begin() + 1);
    }
    if (size > kHfChunkIndex)
        out[kHfChunkIndex] = in.chunkByteReserved & 0xC0;
    writeBits(in, kHfFlags, kHfFields, out);
    if (size > kHfVrrIndex)
        out[kHfVrrIndex] =
            setBitRange(out[kHfVrrIndex], 7, 6, static_cast<unsigned>(in.vrrMax) >> 8);
    if (size > kHfVrrMaxLow)
        out[kHfVrrMaxLow] = static_cast<Byte>(in.vrrMax & 0xFF);
    placeBytes(in.trailing, kHfTrailingFrom, out);
    return out;
}

int maxTmdsCharacterRateMhz(const HdmiForumBlock& block) {
    return block.maxTmdsCharacterRate * 5;
}

std::optional<FrlRate> frlRate(int code) {
    static constexpr FrlRate kRates[] = {{0, 0}, {3, 3}, {3, 6}, {4, 6}, {4, 8}, {4, 10}, {4, 12}};
    if (code < 0 || code >= static_cast<int>(std::size(kRates)))
        return std::nullopt;
    return kRates[code];
}

std::string frlRateText(int code) {
    const auto rate = frlRate(code);
    if (!rate)
        return "reserved (" + std::to_string(code) + ")";
    if (rate->lanes == 0)
        return "no FRL";
    return std::to_string(rate->lanes) + " lanes x " + std::to_string(rate->gbpsPerLane) + " Gbps";
}

std::optional<DscSliceLimit> dscSliceLimit(int code) {
    static constexpr DscSliceLimit kLimits[] = {{0, 0},   {1, 340}, {2, 340},  {4, 340},
                                                {8, 340}, {8, 400}, {12, 400}, {16, 400}};
    if (code < 0 || code >= static_cast<int>(std::size(kLimits)))
        return std::nullopt;
    return kLimits[code];
}

int dscTotalChunkBytes(int code) {
    return 1024 * (1 + code);
}

// ---------------------------------------------------------------------------

namespace {

using HDR = HdrStaticMetadataBlock;

constexpr FlagBit<HDR> kHdrFlags[] = {
    {2, 0, &HDR::sdrGamma},
    {2, 1, &HDR::hdrGamma},
    {2, 2, &HDR::smpteSt2084},
    {2, 3, &HDR::hlg},
    {3, 0, &HDR::staticMetadataType1},
};

constexpr std::size_t kHdrEotf = 2;
constexpr std::size_t kHdrDescriptors = 3;
constexpr std::size_t kHdrLuminanceFrom = 4;
constexpr std::size_t kHdrTrailingFrom = 7;

} // namespace

std::optional<HdrStaticMetadataBlock> decodeHdrStaticMetadata(DataBlockSpan given) {
    const auto block = extendedBlock(given, HDR::kExtTag, HDR::kMinSize);
    if (!block)
        return std::nullopt;
    const DataBlockSpan b = *block;
    HdrStaticMetadataBlock out;
    for (const auto& f : kHdrFlags)
        out.*f.field = getBit(b[f.index], f.bit);
    out.eotfReserved = b[kHdrEotf] & 0xF0;
    out.descriptorReserved = b[kHdrDescriptors] & 0xFE;
    std::optional<int>* const codes[] = {&out.maxLuminance, &out.maxFrameAverageLuminance,
                                         &out.minLuminance};
    for (std::size_t i = 0; i < std::size(codes); ++i)
        if (kHdrLuminanceFrom + i < b.size())
            *codes[i] = b[kHdrLuminanceFrom + i];
    out.trailing = bytesFrom(b, kHdrTrailingFrom);
    return out;
}

std::vector<Byte> encodeHdrStaticMetadata(const HdrStaticMetadataBlock& in) {
    const std::optional<int>* const codes[] = {&in.maxLuminance, &in.maxFrameAverageLuminance,
                                               &in.minLuminance};
    std::size_t codeCount = in.trailing.empty() ? 0 : std::size(codes);
    for (std::size_t i = 0; i < std::size(codes); ++i)
        if (codes[i]->has_value())
            codeCount = std::max(codeCount, i + 1);
    const std::size_t size =
        std::min<std::size_t>(kHdrLuminanceFrom + codeCount + in.trailing.size(), kMaxBlockSize);
    std::vector<Byte> out(size, 0);
    out[0] = headerByte(kTagExtendedBlock, size);
    out[1] = HDR::kExtTag;
    out[kHdrEotf] = in.eotfReserved & 0xF0;
    out[kHdrDescriptors] = in.descriptorReserved & 0xFE;
    for (const auto& f : kHdrFlags)
        out[f.index] = setBit(out[f.index], f.bit, in.*f.field);
    for (std::size_t i = 0; i < codeCount; ++i)
        out[kHdrLuminanceFrom + i] = static_cast<Byte>(codes[i]->value_or(0));
    placeBytes(in.trailing, kHdrTrailingFrom, out);
    return out;
}

double maxLuminanceCdM2(int code) {
    return 50.0 * std::exp2(code / 32.0);
}

double minLuminanceCdM2(int maxCode, int minCode) {
    const double ratio = minCode / 255.0;
    return maxLuminanceCdM2(maxCode) * ratio * ratio / 100.0;
}

// ---------------------------------------------------------------------------

std::optional<Ycbcr420VideoBlock> decodeYcbcr420Video(DataBlockSpan given) {
    const auto block = extendedBlock(given, Ycbcr420VideoBlock::kExtTag, 2);
    if (!block)
        return std::nullopt;
    Ycbcr420VideoBlock out;
    for (const Byte svd : block->subspan(2))
        out.svds.push_back(decodeSvd(svd));
    return out;
}

std::vector<Byte> encodeYcbcr420Video(const Ycbcr420VideoBlock& in) {
    const std::size_t count = std::min<std::size_t>(in.svds.size(), Ycbcr420VideoBlock::kMaxSvds);
    std::vector<Byte> out(2 + count, 0);
    out[0] = headerByte(kTagExtendedBlock, out.size());
    out[1] = Ycbcr420VideoBlock::kExtTag;
    for (std::size_t i = 0; i < count; ++i)
        out[2 + i] = encodeSvd(in.svds[i]);
    return out;
}

std::optional<Ycbcr420CapabilityMap> decodeYcbcr420CapabilityMap(DataBlockSpan given) {
    const auto block = extendedBlock(given, Ycbcr420CapabilityMap::kExtTag, 2);
    if (!block)
        return std::nullopt;
    return Ycbcr420CapabilityMap{bytesFrom(*block, 2)};
}

std::vector<Byte> encodeYcbcr420CapabilityMap(const Ycbcr420CapabilityMap& in) {
    const std::size_t count =
        std::min<std::size_t>(in.bitmap.size(), Ycbcr420CapabilityMap::kMaxBytes);
    std::vector<Byte> out(2 + count, 0);
    out[0] = headerByte(kTagExtendedBlock, out.size());
    out[1] = Ycbcr420CapabilityMap::kExtTag;
    std::copy_n(in.bitmap.begin(), count, out.begin() + 2);
    return out;
}

std::vector<int> ycbcr420MappedSvds(const Ycbcr420CapabilityMap& map, int svdCount) {
    std::vector<int> indices;
    if (map.bitmap.empty()) {
        for (int i = 0; i < svdCount; ++i)
            indices.push_back(i);
        return indices;
    }
    for (int i = 0; i < static_cast<int>(map.bitmap.size()) * 8; ++i)
        if (ycbcr420Maps(map, i))
            indices.push_back(i);
    return indices;
}

bool ycbcr420Maps(const Ycbcr420CapabilityMap& map, int svdIndex) {
    if (map.bitmap.empty())
        return svdIndex >= 0;
    const auto byte = static_cast<std::size_t>(svdIndex / 8);
    return svdIndex >= 0 && byte < map.bitmap.size() &&
           getBit(map.bitmap[byte], static_cast<unsigned>(svdIndex % 8));
}

bool setYcbcr420Mapped(Ycbcr420CapabilityMap& map, int svdIndex, bool mapped, int svdCount) {
    constexpr int kMaxIndices = Ycbcr420CapabilityMap::kMaxBytes * 8;
    if (svdIndex < 0 || svdIndex >= kMaxIndices)
        return false;
    auto& bitmap = map.bitmap;
    if (bitmap.empty()) {
        if (mapped)
            return true;
        const int count = std::clamp(svdCount, 0, kMaxIndices);
        bitmap.assign(static_cast<std::size_t>(std::max((count + 7) / 8, svdIndex / 8 + 1)), 0);
        for (int i = 0; i < count; ++i)
            bitmap[static_cast<std::size_t>(i / 8)] |= static_cast<Byte>(1u << (i % 8));
    }
    const auto byte = static_cast<std::size_t>(svdIndex / 8);
    if (byte >= bitmap.size()) {
        if (!mapped)
            return true;
        bitmap.resize(byte + 1, 0);
    }
    bitmap[byte] = setBit(bitmap[byte], static_cast<unsigned>(svdIndex % 8), mapped);
    return true;
}

// ---------------------------------------------------------------------------

namespace {

using CB = ColorimetryBits;

struct NamedFlag {
    std::string_view name;
    FlagBit<CB> at;
};

// Bit order, first byte first.
constexpr NamedFlag kColorimetryFlags[] = {
    {"xvYCC601", {2, 0, &CB::xvYcc601}},
    {"xvYCC709", {2, 1, &CB::xvYcc709}},
    {"sYCC601", {2, 2, &CB::sYcc601}},
    {"opYCC601", {2, 3, &CB::opYcc601}},
    {"opRGB", {2, 4, &CB::opRgb}},
    {"BT2020cYCC", {2, 5, &CB::bt2020cYcc}},
    {"BT2020YCC", {2, 6, &CB::bt2020Ycc}},
    {"BT2020RGB", {2, 7, &CB::bt2020Rgb}},
    {"MD0", {3, 0, &CB::md0}},
    {"MD1", {3, 1, &CB::md1}},
    {"MD2", {3, 2, &CB::md2}},
    {"MD3", {3, 3, &CB::md3}},
    {"defaultRGB", {3, 4, &CB::defaultRgb}},
    {"sRGB", {3, 5, &CB::sRgb}},
    {"ICtCp", {3, 6, &CB::ictcp}},
    {"DCI-P3", {3, 7, &CB::dciP3}},
};

constexpr std::size_t kColorimetryTrailingFrom = 4;

} // namespace

std::optional<ColorimetryBits> decodeColorimetryBits(DataBlockSpan given) {
    const auto block = extendedBlock(given, CB::kExtTag, CB::kMinSize);
    if (!block)
        return std::nullopt;
    ColorimetryBits out;
    for (const auto& f : kColorimetryFlags)
        out.*f.at.field = getBit((*block)[f.at.index], f.at.bit);
    out.trailing = bytesFrom(*block, kColorimetryTrailingFrom);
    return out;
}

std::vector<Byte> encodeColorimetryBits(const ColorimetryBits& in) {
    const std::size_t size =
        std::min<std::size_t>(CB::kMinSize + in.trailing.size(), kMaxBlockSize);
    std::vector<Byte> out(size, 0);
    out[0] = headerByte(kTagExtendedBlock, size);
    out[1] = CB::kExtTag;
    for (const auto& f : kColorimetryFlags)
        out[f.at.index] = setBit(out[f.at.index], f.at.bit, in.*f.at.field);
    placeBytes(in.trailing, kColorimetryTrailingFrom, out);
    return out;
}

std::vector<std::string_view> colorimetryNames(const ColorimetryBits& block) {
    std::vector<std::string_view> names;
    for (const auto& f : kColorimetryFlags)
        if (block.*f.at.field)
            names.push_back(f.name);
    return names;
}

} // namespace pellam
