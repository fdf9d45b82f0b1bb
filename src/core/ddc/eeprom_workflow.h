// Reading, writing and verifying a sink's EDID EEPROM over any
// EepromTransfer. The bytes read land in a buffer of their own: the caller
// decides what becomes of them, so a sink that does not answer never
// overwrites an image. A write is a transaction: the sink's content is read
// and saved as a backup file first, then written, then verified. Progress,
// pause and the verify's first difference reach the caller through an
// observer (the window processes its events there; pellam-cli prints
// progress).
#pragma once

#include "core/ddc/eeprom_transfer.h"
#include "core/edid/edid_image.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pellam {

// Transfers move 256 bytes; an image with blocks after block 1 is never cut
// to fit.
inline constexpr const char* kMsgImageTooLongForTransfer =
    "The image has more than 256 bytes (blocks after block 1): EEPROM transfers move 256 "
    "bytes, and it is not cut to fit. Nothing was written.";

// Backup: the read of the sink's content before a write.
enum class TransferPhase { Backup, Read, Write, Verify };

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
    // Refused: the sink's content is no EDID and the user did not confirm.
    // NotBackedUp: its content could not be saved. Neither wrote anything.
    enum class Status { Pass, Fail, NoAnswer, Stopped, Refused, NotBackedUp };
    Status status = Status::Pass;
    // The phase the transfer ended in (Write when it never reached the
    // verify; Backup when nothing was written).
    TransferPhase endedIn = TransferPhase::Write;
    // Bytes written (with the fast write, 8 per page).
    std::size_t written = 0;
    // The fast write: pages written, of how many that differed.
    bool fast = false;
    std::size_t pagesWritten = 0;
    std::size_t pagesChanged = 0;
    // The verify buffer: bytes 0 .. verified-1 as read back.
    EdidImage readBack{};
    std::size_t verified = 0;
    std::optional<VerifyMismatch> firstDifference;
    std::size_t differences = 0;
    // Every address the verify found different, in order.
    std::vector<std::size_t> differingAddresses;
    // The backup of the sink's previous content; empty when none was saved.
    std::string backupPath;
    // Everything but Pass and a Stopped before any write: what went wrong,
    // for the user (naming the backup when there is one).
    std::string message;
};

// Every byte of the image at its own address, in order.
std::vector<AddressedByte> allBytesOf(const EdidImage& image);

// The aligned 8-byte pages in which the image differs from the content, in
// address order.
std::vector<EepromPage> changedPages(const EdidImage& content, const EdidImage& image);

// "08h" or "08h, 10h-17h, 42h": addresses as ranges, at most `limit` of
// them, then ", ...".
std::string addressRangesText(std::span<const std::size_t> addresses, std::size_t limit = 12);

// Writes the bytes (all 256 of the image when none are given) through an
// open transfer, then reads the whole EEPROM back and compares it with the
// image. Pass only when the sink answered throughout and all 256 bytes match.
EepromWriteResult writeEeprom(EepromTransfer& transfer, const EdidImage& image,
                              TransferObserver& observer,
                              std::optional<std::vector<AddressedByte>> bytes = std::nullopt);

struct WriteTransactionOptions {
    // Where the backup goes (defaultBackupDirectory() for the user's own).
    std::filesystem::path backupDirectory;
    // Asked before a content that does not start with the EDID header is
    // overwritten, on a transfer that guards against it (the DDC port type);
    // true overwrites. None: refused.
    std::function<bool(const std::string& question)> confirmOverwrite;
};

// The write as a transaction: (1) reads the sink's whole content and saves
// it as a backup file, and (on a guarded transfer) refuses a content that
// is no EDID unless confirmed; nothing is written when the read, the
// question or the save fails. (2) Writes: byte by byte as writeEeprom does,
// or (transfer.fastWrite()) only the pages that differ from the content,
// each in one page write followed by acknowledge polling. (3) Verifies all
// 256 bytes (the fast write in one sequential read). (4) A failure names
// the differing addresses and the backup.
EepromWriteResult writeEepromTransaction(EepromTransfer& transfer, const EdidImage& image,
                                         TransferObserver& observer,
                                         const WriteTransactionOptions& options);

// "No answer from the sink at slave address A0h on LPT1." when the sink
// failed at EEPROM address 0, else that it stopped answering at the address.
std::string noAnswerMessage(const EepromTransfer& transfer, std::size_t address);

// "%3d%" of position x 100 / 255, the progress bar's 0..255 as a percentage.
std::string progressPercentText(int position);

} // namespace pellam
