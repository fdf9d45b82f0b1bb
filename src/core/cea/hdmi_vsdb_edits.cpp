#include "core/cea/hdmi_vsdb_edits.h"

#include "core/cea/extension_block.h"
#include "core/edid/decimal.h"
#include "core/edid/hex.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace pellam {

namespace {

std::string upperCased(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

std::string entryKey(const char* name, int entry) {
    return name + std::to_string(entry) + "=";
}

const std::string* findValue(const KeyValueLines& lines, const std::string& key) {
    for (const KeyValueLine& line : lines)
        if (line.first == key)
            return &line.second;
    return nullptr;
}

} // namespace

FieldEdit enableHdmiVsdb(DataBlockCollection& c, bool on) {
    HdmiVsdb& v = c.vsdb;
    if (on == v.present)
        return FieldEdit::nothing();
    if (!on) {
        v.present = false;
        return FieldEdit::done();
    }
    if (!hasRoomFor(c, kMinHdmiVsdbSize))
        return FieldEdit::refused(kMsgNoSpaceOfExtendedBlock);
    v = {};
    v.present = true;
    v.size = kMinHdmiVsdbSize;
    v.physA = 1;
    return FieldEdit::done();
}

FieldEdit extendHdmiVsdb(DataBlockCollection& c, bool on) {
    HdmiVsdb& v = c.vsdb;
    if (!v.present || on == v.extended)
        return FieldEdit::nothing();
    if (on) {
        FieldEdit sized = setHdmiVsdbSize(c, kMinHdmiVsdbSize + 1);
        if (!sized.message.empty())
            return sized;
        v.extended = true;
        v.supportsAI = false;
        return FieldEdit::done();
    }
    HdmiVsdb shortBlock;
    shortBlock.present = true;
    shortBlock.size = kMinHdmiVsdbSize;
    shortBlock.offset = v.offset;
    shortBlock.physA = v.physA;
    shortBlock.physB = v.physB;
    shortBlock.physC = v.physC;
    shortBlock.physD = v.physD;
    v = shortBlock;
    return FieldEdit::done();
}

FieldEdit setHdmiVsdbSize(DataBlockCollection& c, int size) {
    HdmiVsdb& v = c.vsdb;
    if (size == v.size)
        return FieldEdit::nothing();
    if (size > v.size && !hasRoomFor(c, size - v.size))
        return FieldEdit::refused(kMsgNoSpaceOfExtendedBlock);
    v.size = size;
    return FieldEdit::done();
}

FieldEdit leaveHdmiVsdbLength(DataBlockCollection& c, std::string_view text) {
    const auto length = digitsValue(text);
    if (length && *length >= kMinHdmiVsdbSize && *length < kMaxDataBlockSize)
        return setHdmiVsdbSize(c, *length + 1);
    // A length the block cannot have changes nothing.
    return FieldEdit::refused(kMsgVsdbLength);
}

FieldEdit editPhysicalAddress(HdmiVsdb& v, int digit, std::string_view text) {
    int* nibbles[] = {&v.physA, &v.physB, &v.physC, &v.physD};
    if (digit < 1 || digit > 4)
        return FieldEdit::nothing();
    // One hexadecimal digit; an emptied digit is refused, not taken as 0.
    const int value = text.size() == 1 ? hexDigitValue(text[0]) : -1;
    if (value < 0)
        return FieldEdit::refused(kMsgPhysicalAddress);
    int& nibble = *nibbles[digit - 1];
    const bool changed = nibble != value;
    nibble = value;
    return {changed, {}};
}

std::string physicalAddressText(const HdmiVsdb& v, int digit) {
    const int nibbles[] = {v.physA, v.physB, v.physC, v.physD};
    if (digit < 1 || digit > 4)
        return {};
    return std::string(1, "0123456789ABCDEF"[nibbles[digit - 1] & 15]);
}

FieldEdit editMaxTmdsClock(HdmiVsdb& v, std::string_view text) {
    constexpr int kMaxMHz = 255 * 5;
    const auto mhz = digitsValue(text);
    if (!mhz || *mhz > kMaxMHz)
        return FieldEdit::refused(kMsgMaxTmdsClock);
    v.maxTmdsClock = *mhz / 5;
    return FieldEdit::done();
}

std::string maxTmdsClockText(const HdmiVsdb& v) {
    return std::to_string(v.maxTmdsClock * 5);
}

std::string latencyText(int latencyByte) {
    if (latencyByte == 0)
        return "N_VAL";
    if (latencyByte == 255)
        return "N_SUP";
    return std::to_string((latencyByte - 1) * 2);
}

FieldEdit editLatency(int& latencyByte, std::string_view text) {
    constexpr int kMaxMilliseconds = 500;
    if (text.empty())
        return FieldEdit::refused(kMsgLatency);
    const std::string upper = upperCased(text);
    int value = -1;
    if (isDigitsOnly(upper)) {
        const auto ms = digitsValue(upper);
        if (ms && *ms <= kMaxMilliseconds)
            value = *ms / 2 + 1;
    } else if (std::string_view("N_VAL").find(upper) != std::string_view::npos) {
        value = 0;
    } else if (std::string_view("N_SUP").find(upper) != std::string_view::npos) {
        value = 255;
    }
    if (value < 0)
        return FieldEdit::refused(kMsgLatency);
    latencyByte = value;
    return FieldEdit::done();
}

int latencyBytesThatFit(const HdmiVsdb& v) {
    if (!v.latencyFieldsPresent && !v.iLatencyFieldsPresent)
        return 0;
    const int wanted = latencyBytesInLayout(v);
    // The latency bytes start at index 9.
    return std::clamp(v.size - 9, 0, wanted);
}

int latencyBytesInLayout(const HdmiVsdb& v) {
    return (v.latencyFieldsPresent || v.iLatencyFieldsPresent ? 2 : 0) +
           (v.iLatencyFieldsPresent ? 2 : 0);
}

HdmiVsdbControls hdmiVsdbControls(const HdmiVsdb& v) {
    HdmiVsdbControls on;
    if (!v.present)
        return on;
    on.extendAndAddress = true;
    on.extendedFields = v.extended;
    on.maxTmdsClock = v.size >= 8;
    on.flagsByte = v.size >= 9;
    const int count = latencyBytesThatFit(v);
    for (int k = 0; k < count; ++k)
        on.latency[static_cast<std::size_t>(k)] = true;
    // The HDMI video fields start after the latency bytes at index 9.
    on.threeD = v.hdmiVideoPresent && v.size > count + 9;
    on.hdmiVideoLengths = on.threeD && v.size > count + 10;
    return on;
}

bool fitHdmiVideoLengths(HdmiVsdb& v) {
    if (!hdmiVsdbControls(v).hdmiVideoLengths)
        return false;
    const int remaining = v.size - (latencyBytesThatFit(v) + 11);
    const HdmiVsdb before = v;
    if (remaining < v.hdmiVicLen) {
        v.hdmiVicLen = remaining;
        v.hdmi3dLen = 0;
    } else {
        v.hdmi3dLen = remaining - v.hdmiVicLen;
    }
    return v.hdmiVicLen != before.hdmiVicLen || v.hdmi3dLen != before.hdmi3dLen;
}

int hdmiVideoRoom(const HdmiVsdb& v) {
    return v.size - latencyBytesInLayout(v) - 11;
}

std::string increaseVsdbLengthMessage(const HdmiVsdb& v) {
    return "Please increase VSDB extension length(>" +
           std::to_string(latencyBytesInLayout(v) + 10) +
           ") first !!\n if HDMI_VIC and 3D format need to change";
}

std::string withinRoomMessage(int room) {
    return "Should be within 0 ~ " + std::to_string(room);
}

int threeDFieldBytes(int threeDMultiPresent) {
    if (threeDMultiPresent == 10)
        return 4;
    if (threeDMultiPresent == 1)
        return 2;
    return 0;
}

namespace {

// The split of a block without room for HDMI video: both lengths 0.
HdmiVideoSplit noRoomSplit(const HdmiVsdb& vsdb) {
    HdmiVideoSplit split;
    split.noRoom = true;
    split.message = increaseVsdbLengthMessage(vsdb);
    return split;
}

} // namespace

HdmiVideoSplit splitForHdmiVicLen(const HdmiVsdb& vsdb, int typedCodes) {
    const int room = hdmiVideoRoom(vsdb);
    if (room <= 0)
        return noRoomSplit(vsdb);
    HdmiVideoSplit split;
    const int limit = std::min(room, kMaxHdmiVicLen);
    split.hdmiVicLen = typedCodes;
    if (typedCodes > limit) {
        split.hdmiVicLen = limit;
        split.limited = true;
        split.message = withinRoomMessage(limit);
    }
    split.hdmi3dLen = std::max(room - split.hdmiVicLen, 0);
    return split;
}

HdmiVideoSplit splitForHdmi3dLen(const HdmiVsdb& vsdb, int typedLength) {
    const int room = hdmiVideoRoom(vsdb);
    if (room <= 0)
        return noRoomSplit(vsdb);
    HdmiVideoSplit split;
    split.hdmi3dLen = typedLength;
    if (typedLength > room) {
        split.hdmi3dLen = room;
        split.limited = true;
        split.message = withinRoomMessage(room);
    }
    split.hdmiVicLen = std::clamp(room - split.hdmi3dLen, 0, kMaxHdmiVicLen);
    return split;
}

ThreeDFieldsShown threeDFieldsShown(int threeDMultiPresent, int hdmi3dLen) {
    ThreeDFieldsShown shown;
    if (hdmi3dLen > 1) {
        shown.structure = threeDMultiPresent == 1 || threeDMultiPresent == 10;
        shown.mask = hdmi3dLen > 3 && threeDMultiPresent == 10;
    }
    return shown;
}

int threeDEntryBytes(int hdmi3dLen, ThreeDFieldsShown shown) {
    return hdmi3dLen - 2 * int(shown.structure) - 2 * int(shown.mask);
}

bool isReservedThreeDStructure(int bit) {
    return bit == 7 || bit >= 9;
}

std::string listValueText(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%2d", value);
    return text;
}

ListValue readListValue(std::string_view text) {
    std::string digits(text);
    if (!digits.empty() && digits.front() == ' ')
        digits.front() = '0';
    if (!isDigitsOnly(digits))
        return {};
    // A number too long to convert is above 15 too; it counts as 0.
    const auto value = digitsValue(digits);
    if (!value)
        return {0, true};
    return {*value, *value > 15};
}

std::string hdmiVicKey(int index) {
    return std::to_string(index + 1) + "=";
}

KeyValueLines hdmiVicLines(std::span<const int> codes, int count) {
    KeyValueLines lines;
    const int n = std::clamp(count, 0, static_cast<int>(codes.size()));
    for (int i = 0; i < n; ++i)
        lines.emplace_back(hdmiVicKey(i), listValueText(codes[static_cast<std::size_t>(i)]));
    return lines;
}

bool readHdmiVicLines(const KeyValueLines& lines, int count, std::span<int> codes) {
    bool above15 = false;
    const int n = std::min({count, static_cast<int>(lines.size()), static_cast<int>(codes.size())});
    for (int i = 0; i < n; ++i) {
        const ListValue value = readListValue(lines[static_cast<std::size_t>(i)].second);
        codes[static_cast<std::size_t>(i)] = value.value;
        above15 = above15 || value.above15;
    }
    return above15;
}

KeyValueLines threeDEntryLines(std::span<const ThreeDEntry> entries, int n) {
    KeyValueLines lines;
    const int listed = std::min(kMaxListedEntries, static_cast<int>(entries.size()));
    int byte = 0;
    for (int j = 0; byte < n && j < listed; ++j) {
        const ThreeDEntry& e = entries[static_cast<std::size_t>(j)];
        lines.emplace_back(entryKey("2D_VIC_order_", j + 1), listValueText(e.order));
        lines.emplace_back(entryKey("3D_Structure_", j + 1), listValueText(e.structure));
        ++byte;
        // Side-by-side (half) and the codes above it carry a 3D_Detail byte.
        if ((e.structure & 15) >= 8 && byte < n) {
            lines.emplace_back(entryKey("3D_Detail_", j + 1), listValueText(e.detail));
            ++byte;
        }
    }
    return lines;
}

int readThreeDEntryLines(const KeyValueLines& lines, int n, std::span<ThreeDEntry> entries,
                         bool& above15) {
    const auto read = [&](const std::string& key, int& field) {
        if (const std::string* text = findValue(lines, key)) {
            const ListValue value = readListValue(*text);
            field = value.value;
            above15 = above15 || value.above15;
        }
    };
    const int listed = std::min(kMaxListedEntries, static_cast<int>(entries.size()));
    int byte = 0;
    int j = 0;
    for (; byte < n && j < listed; ++j) {
        ThreeDEntry& e = entries[static_cast<std::size_t>(j)];
        read(entryKey("2D_VIC_order_", j + 1), e.order);
        read(entryKey("3D_Structure_", j + 1), e.structure);
        ++byte;
        if ((e.structure & 15) >= 8 && byte < n) {
            read(entryKey("3D_Detail_", j + 1), e.detail);
            ++byte;
        }
    }
    return j;
}

PanelCommit commitHdmiVideoPanel(HdmiVsdb& vsdb, const HdmiVideoPanelValues& values) {
    if (!vsdb.hdmiVideoPresent)
        return {false, {kMsgHdmiVideoPresentNotEnabled}};
    const auto vicLen = digitsValue(values.hdmiVicLen);
    const auto multi = digitsValue(values.threeDMultiPresent);
    const auto len3d = digitsValue(values.hdmi3dLen);
    if (!vicLen || !multi || !len3d)
        return {false, {kMsgIntegerValue}};
    if (*vicLen > kMaxHdmiVicLen)
        return {false, {withinRoomMessage(kMaxHdmiVicLen)}};
    if (*len3d > 31)
        return {false, {withinRoomMessage(31)}};

    HdmiVsdb v = vsdb;
    v.hdmiVicLen = *vicLen;
    bool above15 = readHdmiVicLines(values.hdmiVicLines, *vicLen, v.hdmiVic);
    v.threeDPresent = values.threeDPresent;
    v.threeDMultiPresent = *multi;
    v.hdmi3dLen = *len3d;
    v.structureAll = values.structureAll & 0xFFFF;
    v.structureMask = values.structureMask & 0xFFFF;
    const int walked = readThreeDEntryLines(values.entryLines, *len3d - threeDFieldBytes(*multi),
                                            v.entries, above15);
    // Entries beyond the listed ones stay as they were.
    v.entryCount = std::max(v.entryCount, walked);
    vsdb = v;
    PanelCommit commit{true, {}};
    if (above15)
        commit.messages.emplace_back(kMsgValueAbove15);
    return commit;
}

} // namespace pellam
