// The transfer settings: which port carries the I2C bus, the parallel port's
// base address, the sink's I2C address, the bus timing and, for the DDC port
// type, the display connector whose DDC lines are used. The GUI
// keeps them in the user's configuration; the core only sees this struct and
// the value names, read and written through small callbacks.
#pragma once

#include "core/ddc/eeprom_kind.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace pellam {

// Port type index: 0 LPT1, 1 LPT2, 2 USB, 3..10 COM1..COM8, 11 DDC (the
// graphics card's own DDC lines through i2c-dev), -1 none chosen.
inline constexpr std::int32_t kPortNone = -1;
inline constexpr std::int32_t kPortLpt1 = 0;
inline constexpr std::int32_t kPortLpt2 = 1;
inline constexpr std::int32_t kPortUsb = 2;
inline constexpr std::int32_t kPortCom1 = 3;
inline constexpr std::int32_t kPortCom8 = 10;
inline constexpr std::int32_t kPortDdc = 11;

inline constexpr std::array<std::string_view, 12> kPortNames = {
    "LPT1", "LPT2", "USB", "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "DDC"};

// The name of a port type, empty outside 0..11.
std::string_view portName(std::int32_t portType);
inline bool isParallelPort(std::int32_t portType) {
    return portType == kPortLpt1 || portType == kPortLpt2;
}
inline bool isSerialPort(std::int32_t portType) {
    return portType >= kPortCom1 && portType <= kPortCom8;
}

inline constexpr std::uint32_t kDefaultBaseAddress = 0x378;
inline constexpr std::uint32_t kDefaultSlaveAddress = 0xA0;
inline constexpr std::uint32_t kDefaultUsbDelayCount = 2400; // 96 kHz
inline constexpr std::uint32_t kDefaultPortDelayCount = 500;

// The EEPROM a sink is taken to carry when none is chosen: E-DDC on the DDC
// port type (a display's own DDC lines), a 24C02 on a programmer's port.
constexpr EepromKind defaultEepromKind(std::int32_t portType) {
    return portType == kPortDdc ? EepromKind::EDdc : EepromKind::C02;
}

// The delay count that goes with a port type when none is stored.
constexpr std::uint32_t defaultDelayCount(std::int32_t portType) {
    return portType == kPortUsb ? kDefaultUsbDelayCount : kDefaultPortDelayCount;
}

struct I2cSettings {
    I2cSettings() = default;
    // The four numbers, and the connector of the DDC port type (written out
    // only where it matters, so settings read as the four numbers).
    I2cSettings(std::int32_t portType_, std::uint32_t baseAddress_, std::uint32_t slaveAddress_,
                std::uint32_t delayCount_, std::string ddcConnector_ = {}, bool fastWrite_ = false)
        : portType(portType_)
        , baseAddress(baseAddress_)
        , slaveAddress(slaveAddress_)
        , delayCount(delayCount_)
        , ddcConnector(std::move(ddcConnector_))
        , fastWrite(fastWrite_) {}

    std::int32_t portType = kPortLpt1;
    std::uint32_t baseAddress = kDefaultBaseAddress;
    // 8-bit I2C write address in the low byte.
    std::uint32_t slaveAddress = kDefaultSlaveAddress;
    // LPT and COM: busy-loop iterations after every line change. USB: the bus
    // clock, delay count / 25 kHz.
    std::uint32_t delayCount = kDefaultPortDelayCount;
    // DDC: the DRM connector's name ("card0-HDMI-A-1"), kept rather than a
    // bus number because bus numbers change between boots. Empty: none.
    std::string ddcConnector;
    // Writes only the 8-byte pages that differ from the sink's content, each
    // as one page write followed by acknowledge polling, and verifies in one
    // sequential read. Off: the byte-by-byte write with fixed waits. The DDC
    // port type always writes this way, whatever the setting.
    bool fastWrite = false;
    // The sink's EEPROM; none chosen: defaultEepromKind of the port type.
    std::optional<EepromKind> eeprom;
    // USB: the serial number of the adapter to use; empty: the only one
    // connected.
    std::string usbSerial;

    EepromKind eepromKind() const { return eeprom.value_or(defaultEepromKind(portType)); }

    bool operator==(const I2cSettings&) const = default;
};

// The stored names of the four numbers, in the order they are read and
// written.
inline constexpr std::string_view kPortTypeValueName = "Port Index(0-1:LPT, 3:USB, 2-9:COM)";
inline constexpr std::string_view kBaseAddressValueName = "Port Base Address";
inline constexpr std::string_view kSlaveAddressValueName = "Slave Address";
inline constexpr std::string_view kDelayCountValueName = "Clock Rate / Delay Count";
// A text, after the four numbers; missing means empty.
inline constexpr std::string_view kDdcConnectorValueName = "DDC Connector";
// 0 or 1, after the connector; missing means 0 (off).
inline constexpr std::string_view kFastWriteValueName = "Fast Write";
// The EEPROM kind's number (0 24C01/24C21, 1 24C02, 2 24C04, 3 24C08,
// 4 24C16, 5 E-DDC); missing: the port type's default.
inline constexpr std::string_view kEepromValueName = "EEPROM";
// A text; missing means empty (the only adapter connected).
inline constexpr std::string_view kUsbSerialValueName = "USB Serial";

struct StoredValue {
    std::string_view name;
    std::uint32_t value; // the port type as its 32-bit two's complement
    bool isSigned;       // the port type is a signed number
};
std::array<StoredValue, 4> storedValues(const I2cSettings& settings);

// One stored 32-bit value, or the reason it could not be read.
struct DwordRead {
    std::optional<std::uint32_t> value;
    std::uint32_t errorCode = 0;
};
inline constexpr std::uint32_t kErrorValueMissing = 2;    // no value of that name
inline constexpr std::uint32_t kErrorValueNotNumber = 13; // not a 32-bit number
using DwordReader = std::function<DwordRead(std::string_view name)>;

// Reads the four values in order. A value that cannot be read logs
// "err=%08X" with its error code and takes its default; the delay count's
// default follows the port type read just before. A USB delay count without a
// usable clock is replaced (see usbClockKHz).
I2cSettings loadI2cSettings(const DwordReader& read);

// The USB bus clock in kHz, delay count / 25. A delay count whose clock falls
// outside 1..6000 kHz (0 included) is first replaced by the USB default, so
// the clock is never 0 and the divisor never overflows.
std::uint32_t usbClockKHz(I2cSettings& settings);

// "DO=0x0378, CO=0x037A, DI=0x0379, CI=0x0379": the parallel-port registers
// used for a base address (data out, control out, status in twice).
std::string portReportLine(std::uint32_t baseAddress);

} // namespace pellam
