// One way to a sink's EDID EEPROM for one transfer, whatever the transport:
// open, read the whole content, write bytes at addresses, close. The
// transfer workflow (eeprom_workflow.h) runs over this interface, so the
// window, the analyser and pellam-cli share it.
#pragma once

#include "ddc/ddc_context.h"
#include "edid/bits.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace pellam {

inline constexpr const char* kMsgChoosePortType =
    "Please Choose A PortType In [I2C Setting] First!";

struct AddressedByte {
    Byte address;
    Byte value;
};

// How a run over the bus ended.
struct TransferRun {
    // Bytes transferred and acknowledged, counted from the first one asked for.
    std::size_t done = 0;
    // false: the sink did not acknowledge the byte or block that follows the
    // `done` bytes; the run stopped there.
    bool answered = true;
    // The step callback asked to stop.
    bool stopped = false;
};

// Called after each byte or block that was acknowledged: the index of its
// first byte in the request and its length. Returns false to stop the run.
using TransferStep = std::function<bool(std::size_t first, std::size_t count)>;

class EepromTransfer {
public:
    virtual ~EepromTransfer() = default;

    // The port type's name for messages ("LPT1", "USB").
    virtual std::string portName() const = 0;
    // The sink's 8-bit I2C write address.
    virtual Byte slaveAddress() const = 0;

    // Makes the transport ready for one transfer. Empty on success, else the
    // message for the user (nothing has been sent to the sink then).
    virtual std::string open() = 0;
    // Ends the transfer; harmless when not open. Destruction closes too.
    virtual void close() = 0;

    // Reads the EEPROM from address 0 into the destination (at most 256
    // bytes), one byte or one block at a time, and stops at the first byte or
    // block the sink does not acknowledge.
    virtual TransferRun readContent(std::span<Byte> destination, const TransferStep& step) = 0;
    // Writes each byte at its address, each followed by the EEPROM's write
    // cycle, and stops at the first one the sink does not acknowledge.
    virtual TransferRun writeBytes(std::span<const AddressedByte> bytes,
                                   const TransferStep& step) = 0;
};

// The transfer of the port type now chosen in the settings, or why there is
// none: no port type chosen (kMsgChoosePortType), a port type that is not
// known, or another transfer still running. A transfer keeps the context
// marked busy while it exists.
struct TransferChoice {
    std::unique_ptr<EepromTransfer> transfer;
    std::string problem;
};
TransferChoice chooseEepromTransfer(DdcContext& ddc);

} // namespace pellam
