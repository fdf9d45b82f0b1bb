// One way to a sink's EDID EEPROM for one transfer, whatever the transport:
// open, read the whole content, write bytes at addresses, close. The
// transfer workflow (eeprom_workflow.h) runs over this interface, so the
// window, the analyser and pellam-cli share it.
#pragma once

#include "core/ddc/ddc_context.h"
#include "core/ddc/eeprom_kind.h"
#include "core/edid/bits.h"

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace pellam {

inline constexpr const char* kMsgChoosePortType =
    "Please Choose A PortType In [I2C Setting] First!";

struct AddressedByte {
    std::size_t address; // from 0 to the EEPROM's capacity
    Byte value;
};

// The page of the fast write: a page write rolls over within the EEPROM's
// page, which is 8 bytes on the 24C01 and 24C02 and 16 on the larger parts,
// so aligned 8-byte pages never cross one.
inline constexpr std::size_t kEepromPageSize = 8;

// One page of the fast write: the bytes an aligned page is to hold (fewer
// at the end of an image whose length is no multiple of 8).
struct EepromPage {
    std::size_t address = 0; // a multiple of kEepromPageSize
    std::array<Byte, kEepromPageSize> bytes{};
    std::size_t length = kEepromPageSize;
    std::span<const Byte> data() const { return std::span(bytes).first(length); }
};

// How a run over the bus ended.
struct TransferRun {
    // Bytes (pages, for writePages) transferred and acknowledged, counted
    // from the first one asked for.
    std::size_t done = 0;
    // false: the sink did not acknowledge the byte, block or page that
    // follows the `done` ones; the run stopped there.
    bool answered = true;
    // With answered false: the sink took the last of the `done` pages (or
    // bytes) but did not answer again within the acknowledge-polling limit
    // after it.
    bool timedOut = false;
    // With answered false: the transport's own account when it knows more
    // than that the sink did not answer (a refused write, a controller
    // fault, an adapter gone, a line held low, a short read); empty
    // otherwise.
    std::string problem;
    // The step callback asked to stop.
    bool stopped = false;
};

// Called after each byte or block that was acknowledged: the index of its
// first byte in the request and its length. Returns false to stop the run.
using TransferStep = std::function<bool(std::size_t first, std::size_t count)>;

class EepromTransfer {
public:
    virtual ~EepromTransfer() = default;

    // The port's name for messages and backup files ("LPT1", "USB"; the
    // connector's name for the DDC port type, "card0-HDMI-A-1").
    virtual std::string portName() const = 0;
    // The sink's 8-bit I2C write address.
    virtual Byte slaveAddress() const = 0;
    // The sink's EEPROM, which places every address on the bus, and how many
    // bytes it holds.
    virtual EepromKind eepromKind() const = 0;
    std::size_t capacity() const { return eepromCapacity(eepromKind()); }

    // Makes the transport ready for one transfer. Empty on success, else the
    // message for the user (nothing has been sent to the sink then).
    virtual std::string open() = 0;
    // Ends the transfer; harmless when not open. Destruction closes too.
    virtual void close() = 0;

    // Reads the EEPROM from address `start` into the destination (up to the
    // capacity), one byte or one block at a time, and stops at the first byte
    // or block the sink does not acknowledge.
    virtual TransferRun readContent(std::size_t start, std::span<Byte> destination,
                                    const TransferStep& step) = 0;
    // Writes each byte at its address, each followed by the EEPROM's write
    // cycle, and stops at the first one the sink does not acknowledge.
    virtual TransferRun writeBytes(std::span<const AddressedByte> bytes,
                                   const TransferStep& step) = 0;

    // Writes go the fast way (writePages, readSequential): chosen in the
    // settings, or always, for the DDC port type.
    virtual bool fastWrite() const = 0;
    // A content that does not start with the EDID header is overwritten only
    // with the user's word: on the DDC port type, whose buses the graphics
    // driver shares with whatever else answers there.
    virtual bool guardsNonEdidContent() const { return false; }
    // Empty when the sink may be written; otherwise why it never is (an
    // internal panel's connector), for the user. Asked once the transfer is
    // open, before anything is sent.
    virtual std::string writeRefusal() const { return {}; }

    // Reads from address `start` into the destination in one sequential read
    // for each 256 bytes (block or segment), each reported as one step.
    virtual TransferRun readSequential(std::size_t start, std::span<Byte> destination,
                                       const TransferStep& step) = 0;
    // Writes each page in one page write, then polls the EEPROM until it
    // acknowledges again (its write cycle is over), at most
    // kAckPollLimitUs; a step after each page (first = its index).
    virtual TransferRun writePages(std::span<const EepromPage> pages, const TransferStep& step) = 0;
};

// "slave address A0h on LPT1": the sink a transfer reaches, as messages name it.
std::string sinkText(const EepromTransfer& transfer);

// The transfer of the port type now chosen in the settings, or why there is
// none: no port type chosen (kMsgChoosePortType), a port type that is not
// known, or another transfer still running. A transfer keeps the context
// marked busy while it exists.
struct TransferChoice {
    std::unique_ptr<EepromTransfer> transfer;
    std::string problem;
};
TransferChoice chooseEepromTransfer(DdcContext& ddc);

// One transfer from the settings to its end, the one way the window, the
// analysis page and pellam-cli start one: the transfer of the port type in
// force is chosen and opened at construction, and closed when the object
// goes, on every path out of the caller.
class OpenTransfer {
public:
    explicit OpenTransfer(DdcContext& ddc);
    ~OpenTransfer();
    OpenTransfer(const OpenTransfer&) = delete;
    OpenTransfer& operator=(const OpenTransfer&) = delete;

    // Open and ready; otherwise problem() says why, for the user.
    bool ready() const { return m_transfer != nullptr; }
    const std::string& problem() const { return m_problem; }
    EepromTransfer& transfer() { return *m_transfer; }
    // "slave address A0h on LPT1".
    std::string sink() const { return sinkText(*m_transfer); }
    // A parallel or serial port's transfer is a byte loop that the user can
    // pause between two bytes; the USB adapter's and the DDC bus's run to
    // their end.
    bool pausable() const { return m_pausable; }
    // Closes now (the destructor then does nothing); sink() still answers.
    void close();

private:
    std::unique_ptr<EepromTransfer> m_transfer;
    bool m_closed = false;
    std::string m_problem;
    bool m_pausable = false;
};

} // namespace pellam
