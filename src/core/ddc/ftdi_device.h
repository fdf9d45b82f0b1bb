// The calls the USB transport makes on its FT2232-class adapter, in the
// shape of the vendor's driver interface: every call returns a status, 0 for
// success. Implemented by libftdi1 and by a simulated FT2232.
#pragma once

#include "core/edid/bits.h"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace pellam {

// The adapter's USB product description with the channel letter its driver
// adds; messages name the adapter by it.
inline constexpr const char* kUsbAdapterDescription = "Korvo USB Debug Tool A";

class FtdiDevice {
public:
    virtual ~FtdiDevice() = default;
    // Opens channel A of the adapter found by its description: the one with
    // that USB serial number, or with an empty serial the only one connected.
    virtual int open(const std::string& serial) = 0;
    // The USB latency timer in milliseconds.
    virtual int setLatencyTimer(Byte milliseconds) = 0;
    // Pin mode: 0 resets, 2 enters MPSSE.
    virtual int setBitMode(Byte mask, Byte mode) = 0;
    virtual int write(std::span<const Byte> bytes, std::size_t& written) = 0;
    // Bytes waiting to be read.
    virtual int receiveQueue(std::size_t& count) = 0;
    virtual int read(std::span<Byte> buffer, std::size_t& count) = 0;
    virtual int close() = 0;
    // Why the last open failed, in words for the user (empty after success).
    virtual std::string openErrorDetail() const = 0;
};

// Which of the connected adapters (their serial numbers, in bus order) to
// open: the one whose serial is `wanted`, or with `wanted` empty the only
// one. index is -1 when there is none to take, and problem says why for the
// user (none connected, the wanted one missing, several and none chosen,
// naming the serials present).
struct UsbAdapterChoice {
    int index = -1;
    std::string problem;
};
UsbAdapterChoice chooseUsbAdapter(const std::vector<std::string>& serials,
                                  const std::string& wanted);

} // namespace pellam
