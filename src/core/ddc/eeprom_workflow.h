// Reading, writing and verifying a sink's EDID EEPROM over any
// EepromTransfer. The bytes read land in a buffer of their own: the caller
// decides what becomes of them, so a sink that does not answer never
// overwrites an image. A write is a transaction: the image is checked, the
// sink's content is read and saved as a backup file, then exactly the
// image's bytes are written (never padded over the sink), then verified.
// Progress, pause and the verify's first difference reach the caller
// through an observer (the window processes its events there; pellam-cli
// prints progress and stops on a signal).
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

// What a read of nothing but 00h or FFh is taken for.
inline constexpr const char* kMsgNoEdidContent =
    "no EDID content (blank EEPROM, no sink, or a stuck line)";

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
    // The bytes a phase moves, just before it starts (a read that follows
    // byte 126 says it again once it knows).
    virtual void phaseLength(TransferPhase, std::size_t) {}
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
    // The backup file is saved; nothing has been written yet.
    virtual void backupSaved(const std::string&) {}
};

struct EepromReadResult {
    // NoContent: every byte read is 00h, or every one FFh. Refused: more
    // bytes were asked for than the EEPROM holds (nothing was read).
    enum class Status { Complete, Stopped, NoAnswer, NoContent, Refused };
    Status status = Status::Complete;
    // The bytes the read was to bring: 0 .. count-1 as read, the rest 0.
    std::vector<Byte> bytes;
    std::size_t count = 0;
    // NoAnswer: which sink did not answer, and where; NoContent, Refused:
    // what was found.
    std::string message;
    // A read that followed byte 126: what limited it, when the EEPROM holds
    // fewer blocks than byte 126 declares; empty otherwise.
    std::string note;
};

// Reads `length` bytes from address 0 through an open transfer; without a
// length, the blocks the content declares: block 0, then as many blocks as
// its byte 126 names, up to the EEPROM's capacity (a content without the
// EDID header: 256 bytes, or the capacity when it is smaller).
EepromReadResult readEeprom(EepromTransfer& transfer, TransferObserver& observer,
                            std::optional<std::size_t> length = std::nullopt);

// Every byte is 00h, or every one FFh (an empty span is neither).
bool isBlankContent(std::span<const Byte> bytes);

// What is wrong with an image as an EDID, one sentence each: a missing
// header, a length that is no whole number of blocks, a wrong checksum in a
// block, byte 126 against the blocks present. Empty when nothing is.
std::vector<std::string> imageProblems(std::span<const Byte> image);

struct EepromWriteResult {
    // Refused: the image does not fit the EEPROM, the sink is never written
    // (an internal panel), or the image or the sink's content failed a check
    // and the user did not confirm. NotBackedUp: the sink's content could
    // not be saved. Neither wrote anything.
    enum class Status { Pass, Fail, NoAnswer, Stopped, Refused, NotBackedUp };
    Status status = Status::Pass;
    // The phase the transfer ended in (Write when it never reached the
    // verify; Backup when nothing was written).
    TransferPhase endedIn = TransferPhase::Write;
    // The image's length: what is written and verified.
    std::size_t length = 0;
    // Bytes written (with the fast write, those of the pages written).
    std::size_t written = 0;
    // The fast write: pages written, of how many that differed.
    bool fast = false;
    std::size_t pagesWritten = 0;
    std::size_t pagesChanged = 0;
    // The verify buffer: bytes 0 .. verified-1 as read back.
    std::vector<Byte> readBack;
    std::size_t verified = 0;
    std::optional<VerifyMismatch> firstDifference;
    std::size_t differences = 0;
    // Every address the verify found different, in order.
    std::vector<std::size_t> differingAddresses;
    // The verify found the previous content at every differing address.
    bool writeProtected = false;
    // The backup of the sink's previous content; empty when none was saved.
    std::string backupPath;
    // The backup holds only 00h or only FFh: the sentence that says so.
    std::string backupNote;
    // Everything but Pass and a Stopped before any write: what went wrong,
    // for the user (naming the backup when there is one).
    std::string message;
};

// Every byte of the image at its own address, in order.
std::vector<AddressedByte> allBytesOf(std::span<const Byte> image);

// The aligned 8-byte pages in which the image differs from the content, in
// address order (a last page shorter when the image ends inside it).
std::vector<EepromPage> changedPages(std::span<const Byte> content, std::span<const Byte> image);

// "08h" or "08h, 10h-17h, 142h": addresses as ranges, at most `limit` of
// them, then ", ...".
std::string addressRangesText(std::span<const std::size_t> addresses, std::size_t limit = 12);

// Writes the bytes (all of the image when none are given) through an open
// transfer, then reads the image's length back and compares. Pass only when
// the sink answered throughout and every byte matches.
EepromWriteResult writeEeprom(EepromTransfer& transfer, std::span<const Byte> image,
                              TransferObserver& observer,
                              std::optional<std::vector<AddressedByte>> bytes = std::nullopt);

struct WriteTransactionOptions {
    // Where the backup goes (defaultBackupDirectory() for the user's own).
    std::filesystem::path backupDirectory;
    // Asked before a content that does not start with the EDID header is
    // overwritten, on a transfer that guards against it (the DDC port type);
    // true overwrites. None: refused.
    std::function<bool(const std::string& question)> confirmOverwrite;
    // Asked before an image with problems (imageProblems) is written; true
    // writes it. None: refused.
    std::function<bool(const std::string& question)> confirmImage;
};

// The write as a transaction: (0) refuses an image larger than the EEPROM,
// a sink that is never written, and (unless confirmed) an image with
// problems. (1) Reads the sink's content over the image's length and saves
// it as a backup file, and (on a guarded transfer) refuses a content that
// is no EDID unless confirmed; nothing is written when the read, a question
// or the save fails. (2) Writes exactly the image's bytes: byte by byte as
// writeEeprom does, or (transfer.fastWrite()) only the pages that differ
// from the content, each in one page write followed by acknowledge polling.
// (3) Verifies the whole image (the fast write in one sequential read per
// block or segment). (4) A failure names the differing addresses, write
// protection when the old content stayed, and the backup.
EepromWriteResult writeEepromTransaction(EepromTransfer& transfer, std::span<const Byte> image,
                                         TransferObserver& observer,
                                         const WriteTransactionOptions& options);

// "No answer from the sink at slave address A0h on LPT1." when the sink
// failed at EEPROM address 0, else that it stopped answering at the address.
std::string noAnswerMessage(const EepromTransfer& transfer, std::size_t address);

// "%3d%" of done x 100 / total (total 0 reads as 0%).
std::string progressPercentText(std::size_t done, std::size_t total);

} // namespace pellam
