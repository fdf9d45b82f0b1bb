// Reading, writing and verifying a sink's EDID EEPROM over any
// EepromTransfer. The bytes read land in a buffer of their own: the caller
// decides what becomes of them, so a sink that does not answer never
// overwrites an image. Progress, pause and the verify's first difference
// reach the caller through an observer (the window processes its events
// there; pellam-cli prints progress).
#pragma once

#include "ddc/eeprom_transfer.h"
#include "edid/edid_image.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pellam {

enum class TransferPhase { Read, Write, Verify };

struct VerifyMismatch {
    std::size_t address = 0;
    Byte written = 0;
    Byte readBack = 0;
    bool operator==(const VerifyMismatch&) const = default;
};

class TransferObserver {
public:
    virtual ~TransferObserver() = default;
    // Before the first byte of a phase.
    virtual void phaseStarted(TransferPhase) {}
    // After each byte or block the sink acknowledged: the EEPROM address of
    // its first byte and its bytes (as read, or as written).
    virtual void stepDone(TransferPhase, std::size_t, std::span<const Byte>) {}
    // Tested before each byte or block; true ends the transfer there.
    virtual bool stopRequested() { return false; }
    // The verify met its first difference. It reads on, so that every
    // difference is known at the end.
    virtual void verifyFailed(const VerifyMismatch&) {}
};

struct EepromReadResult {
    enum class Status { Complete, Stopped, NoAnswer };
    Status status = Status::Complete;
    // Bytes 0 .. count-1 as read; the rest 0.
    EdidImage bytes{};
    std::size_t count = 0;
    // NoAnswer: which sink did not answer, and where.
    std::string message;
};

// Reads the whole EEPROM (256 bytes) through an open transfer.
EepromReadResult readEeprom(EepromTransfer& transfer, TransferObserver& observer);

struct EepromWriteResult {
    enum class Status { Pass, Fail, NoAnswer, Stopped };
    Status status = Status::Pass;
    // The phase the transfer ended in (Write when it never reached the verify).
    TransferPhase endedIn = TransferPhase::Write;
    std::size_t written = 0;
    // The verify buffer: bytes 0 .. verified-1 as read back.
    EdidImage readBack{};
    std::size_t verified = 0;
    std::optional<VerifyMismatch> firstDifference;
    std::size_t differences = 0;
    // Fail and NoAnswer: what went wrong, for the user.
    std::string message;
};

// Every byte of the image at its own address, in order.
std::vector<AddressedByte> allBytesOf(const EdidImage& image);

// Writes the bytes (all 256 of the image when none are given) through an
// open transfer, then reads the whole EEPROM back and compares it with the
// image. Pass only when the sink answered throughout and all 256 bytes match.
EepromWriteResult writeEeprom(EepromTransfer& transfer, const EdidImage& image,
                              TransferObserver& observer,
                              std::optional<std::vector<AddressedByte>> bytes = std::nullopt);

// "No answer from the sink at slave address A0h on LPT1." when the sink
// failed at EEPROM address 0, else that it stopped answering at the address.
std::string noAnswerMessage(const EepromTransfer& transfer, std::size_t address);

// "%3d%" of position x 100 / 255, the progress bar's 0..255 as a percentage.
std::string progressPercentText(int position);

} // namespace pellam
