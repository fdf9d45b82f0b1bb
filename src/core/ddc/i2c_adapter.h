// An I2C controller the kernel drives (a graphics card's DDC lines, offered
// by the i2c-dev module as /dev/i2c-N), reached in whole messages: the
// I2C_RDWR request of <linux/i2c-dev.h>. Behind this small interface sit the
// real device and a simulated one, so the transport above is tested without
// ever opening a bus.
#pragma once

#include "core/edid/bits.h"

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

namespace pellam {

// One segment of a transaction: a start (the first) or repeated start, the
// 7-bit address with the direction bit, then the bytes.
struct I2cMessage {
    std::uint16_t address = 0; // 7-bit (the EDID EEPROM is 50h)
    bool read = false;
    // Written: the bytes sent. Read: filled with the bytes received.
    std::span<Byte> data;
};

// The kernel's limits on one I2C_RDWR request.
inline constexpr std::size_t kI2cMaxMessages = 42;
inline constexpr std::size_t kI2cMaxMessageLength = 8192;

class I2cAdapter {
public:
    virtual ~I2cAdapter() = default;
    // One transaction: the messages in order, joined by repeated starts,
    // with one stop at the end. Returns 0, or an errno value: ENXIO when the
    // address was not acknowledged, EREMOTEIO (or EIO) when a written byte
    // was not, others for the controller's own faults.
    virtual int transfer(std::span<I2cMessage> messages) = 0;
};

// A missing acknowledge, as the kernel's I2C controller drivers report it.
constexpr bool isNoAcknowledge(int error) {
    return error == ENXIO || error == EREMOTEIO;
}

// What opening a bus gave: the adapter, or the errno value of the failure
// (ENOENT: no such device, EACCES or EPERM: no permission; EOPNOTSUPP: the
// controller cannot do plain I2C transfers).
struct I2cAdapterOpenResult {
    std::unique_ptr<I2cAdapter> adapter;
    int error = 0;
};

// The machine's I2C buses: where the sysfs tree that describes them is, and
// how a bus's device is opened.
class I2cBusAccess {
public:
    virtual ~I2cBusAccess() = default;
    virtual std::filesystem::path sysfsRoot() const = 0;
    // devicePath is "/dev/i2c-N".
    virtual I2cAdapterOpenResult open(const std::string& devicePath) = 0;
};

} // namespace pellam
