// Edits of the HDMI vendor-specific data block (HDMI 1.4b, 8.3.2) as the
// video page makes them: switching the block on and off, its length, the
// field codings of the controls, which controls a block of a given length
// can fill, and the HDMI video fields (HDMI_VIC codes, 3D) of its panel.
#pragma once

#include "core/cea/data_block_collection.h"
#include "core/cea/video_block_edits.h"

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pellam {

inline constexpr const char* kMsgPhysicalAddress = "Invalid data. range 0 ~ F (hexadecimal)";
inline constexpr const char* kMsgVsdbLength = "Should be 6 ~ 31 ";
inline constexpr const char* kMsgMaxTmdsClock = "Should be <= 1275 MHz";
inline constexpr const char* kMsgLatency =
    "Value Should Be :\r\n    <number> : >=0 AND <= 500 ms, Or \r\n"
    "    <\"N_VAL\"> : Represent EDID Value (0), Or \r\n"
    "    <\"N_SUP\"> : Represent EDID Value(255)";
inline constexpr const char* kMsgHdmiVideoPresentNotEnabled =
    "HDMI_VIDEO_PRESENT should be 'Enable' ";
inline constexpr const char* kMsgIntegerValue = "Should be filled Integer value";
inline constexpr const char* kMsgThreeDMultiPresent = "Should be filled '00' / '01' / '10' / '11'";
inline constexpr const char* kMsgReservedStructure = "Should be filled 0";
inline constexpr const char* kMsgValueAbove15 = "value should be small than 15";

// Smallest block: header, OUI and physical address.
inline constexpr int kMinHdmiVsdbSize = 6;
// Highest HDMI_VIC_LEN: a 3-bit field.
inline constexpr int kMaxHdmiVicLen = 7;

// Switching the block on starts it from zeros: 6 bytes, physical address
// 1.0.0.0 (nothing kept from a block switched off earlier). Refused when
// block 1 has no room for it. Switching it off keeps its fields; the
// rebuild skips it.
FieldEdit enableHdmiVsdb(DataBlockCollection& collection, bool on);
// On: 7 bytes, Supports_AI clear. Off: 6 bytes, every field after the
// physical address cleared.
FieldEdit extendHdmiVsdb(DataBlockCollection& collection, bool on);
// Sets the block's size; growth is refused when block 1 has no room for it.
FieldEdit setHdmiVsdbSize(DataBlockCollection& collection, int size);
// The length edit when it is finished: 6..31 sets the size to length + 1;
// any other text changes nothing and says "Should be 6 ~ 31 ".
FieldEdit leaveHdmiVsdbLength(DataBlockCollection& collection, std::string_view text);

// Physical address digit 1..4 (A..D) as one hex digit; anything else
// (the empty text included) is refused.
FieldEdit editPhysicalAddress(HdmiVsdb& vsdb, int digit, std::string_view text);
std::string physicalAddressText(const HdmiVsdb& vsdb, int digit);

// Max_TMDS_Clock in MHz, stored in units of 5 MHz (rounded down), at most 1275.
FieldEdit editMaxTmdsClock(HdmiVsdb& vsdb, std::string_view text);
std::string maxTmdsClockText(const HdmiVsdb& vsdb);

// Latency bytes: 0 "N_VAL" (no valid latency), 255 "N_SUP" (not
// supported), any other byte b is (b - 1) * 2 milliseconds.
std::string latencyText(int latencyByte);
// Milliseconds 0..500 store m / 2 + 1; a text inside "N_VAL" stores 0,
// else a text inside "N_SUP" stores 255 (case ignored). Anything else, the
// empty text included, is refused.
FieldEdit editLatency(int& latencyByte, std::string_view text);

// Latency bytes the block's length leaves room for, up to the four its
// flags ask for.
int latencyBytesThatFit(const HdmiVsdb& vsdb);
// Latency bytes the flags put in the block: the progressive pair when either
// flag is set, the interlaced pair after it.
int latencyBytesInLayout(const HdmiVsdb& vsdb);

// Which controls of the block a user may change, by its presence, length
// and flags.
struct HdmiVsdbControls {
    bool extendAndAddress = false; // ckxVSDBExt, the four address digits
    bool extendedFields = false;   // length, Supports_AI, deep colour, DVI_Dual
    bool maxTmdsClock = false;
    bool flagsByte = false;        // latency-present flags, HDMI_Video_present, content types
    std::array<bool, 4> latency{}; // video, audio, interlaced video, interlaced audio
    bool threeD = false;           // 3D_present, 3D_Multi_present
    bool hdmiVideoLengths = false; // HDMI_VIC_LEN, HDMI_3D_LEN
};
HdmiVsdbControls hdmiVsdbControls(const HdmiVsdb& vsdb);

// Fits HDMI_VIC_LEN and HDMI_3D_LEN to the bytes the block has after its
// latency fields and first two HDMI video bytes: the codes first, 3D takes
// the rest. Runs after an edit of the block's length or flags; true when it
// changed a length.
bool fitHdmiVideoLengths(HdmiVsdb& vsdb);

// Bytes the block leaves for HDMI_VIC codes and 3D fields: its size less
// the latency bytes and the 11 bytes up to the HDMI_VIC_LEN byte.
int hdmiVideoRoom(const HdmiVsdb& vsdb);
// "Please increase VSDB extension length(>%d) first !!..." with the least
// length field that leaves room.
std::string increaseVsdbLengthMessage(const HdmiVsdb& vsdb);
std::string withinRoomMessage(int room);

// Bytes of 3D_Structure_ALL and 3D_MASK that 3D_Multi_present (as its
// decimal digits 0, 1, 10, 11) puts before the 3D entries.
int threeDFieldBytes(int threeDMultiPresent);

// The panel's two lengths share the room the block leaves for HDMI video
// (hdmiVideoRoom): typing one sets the other to what is left.
struct HdmiVideoSplit {
    // No room at all: both lengths are 0 and the message asks for a longer block.
    bool noRoom = false;
    int hdmiVicLen = 0;
    int hdmi3dLen = 0;
    // The typed length was above what fits; it became the limit, and the
    // message says so ("Should be within 0 ~ n").
    bool limited = false;
    std::string message;
};
// HDMI_VIC_LEN typed: at most 7 codes (a 3-bit field) and at most the room;
// 3D takes the rest.
HdmiVideoSplit splitForHdmiVicLen(const HdmiVsdb& vsdb, int typedCodes);
// HDMI_3D_LEN typed: at most the room; the codes take the rest, at most 7.
HdmiVideoSplit splitForHdmi3dLen(const HdmiVsdb& vsdb, int typedLength);

// Which of the 3D_Structure_ALL and 3D_MASK lists a 3D_Multi_present value
// and an HDMI_3D_LEN leave room for: 01 and 10 carry the structure (2 bytes),
// 10 the mask too (2 more).
struct ThreeDFieldsShown {
    bool structure = false;
    bool mask = false;
};
ThreeDFieldsShown threeDFieldsShown(int threeDMultiPresent, int hdmi3dLen);
// Bytes of HDMI_3D_LEN left for the individual 3D entries after the
// structure and mask fields shown.
int threeDEntryBytes(int hdmi3dLen, ThreeDFieldsShown shown);
// 3D_Structure_ALL bits 7 and 9..15 are reserved (HDMI 1.4b, table 8-19).
bool isReservedThreeDStructure(int bit);

// The panel's key/value lists: each line is a key ("1=", "3D_Structure_2=")
// and the value text.
using KeyValueLine = std::pair<std::string, std::string>;
using KeyValueLines = std::vector<KeyValueLine>;

// "%2d": the value as the lists show it.
std::string listValueText(int value);
// A value text as the lists read it: a leading blank counts as "0", text
// that is not all digits as 0; values above 15 are taken and flagged.
struct ListValue {
    int value = 0;
    bool above15 = false;
};
ListValue readListValue(std::string_view text);

// The 4Kx2K list: keys "1=" .. "8=".
std::string hdmiVicKey(int index); // index from 0
KeyValueLines hdmiVicLines(std::span<const int> codes, int count);
// Reads the values of the first `count` lines into codes; true when one was above 15.
bool readHdmiVicLines(const KeyValueLines& lines, int count, std::span<int> codes);

// The 3D entry walk over n bytes: a byte that starts entry j gives the lines
// "2D_VIC_order_j=" and "3D_Structure_j="; an entry whose 3D_Structure is 8
// or more takes the next byte for "3D_Detail_j=". The keys end at entry 8.
inline constexpr int kMaxListedEntries = 8;
KeyValueLines threeDEntryLines(std::span<const ThreeDEntry> entries, int n);
// Reads entries from the lines by the same walk (found by their keys); an
// entry whose line is missing keeps its value. Returns the entries walked
// and sets above15 when a value was above 15.
int readThreeDEntryLines(const KeyValueLines& lines, int n, std::span<ThreeDEntry> entries,
                         bool& above15);

// What the panel holds when Save is pressed.
struct HdmiVideoPanelValues {
    std::string hdmiVicLen;
    bool threeDPresent = false;
    std::string threeDMultiPresent;
    std::string hdmi3dLen;
    int structureAll = 0;
    int structureMask = 0;
    KeyValueLines hdmiVicLines;
    KeyValueLines entryLines;
};
// Save: commits the panel into the block, unless HDMI_Video_present is clear
// ("HDMI_VIDEO_PRESENT should be 'Enable' ") or a length or 3D_Multi_present
// edit holds no number (nothing is committed then). Messages in order.
struct PanelCommit {
    bool committed = false;
    std::vector<std::string> messages;
};
PanelCommit commitHdmiVideoPanel(HdmiVsdb& vsdb, const HdmiVideoPanelValues& values);

} // namespace pellam
