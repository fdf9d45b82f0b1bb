#include "core/ddc/eeprom_workflow.h"

#include "core/ddc/eeprom_backup.h"
#include "core/ddc/i2c_dev_transport.h"
#include "core/edid/edid_bytes.h"
#include "core/edid/hex.h"

#include <algorithm>
#include <cstdio>

namespace pellam {

namespace {

// The step callback of a read into buffer[offset..]: reports the bytes at
// their EEPROM addresses, then tests for a stop. check, when given, looks at
// the bytes first.
TransferStep observedRead(TransferObserver& observer, TransferPhase phase,
                          std::span<const Byte> buffer, std::size_t offset = 0,
                          const std::function<void(std::size_t, std::size_t)>& check = {}) {
    return [&observer, phase, buffer, offset, check](std::size_t first, std::size_t count) {
        if (check)
            check(offset + first, count);
        observer.stepDone(phase, offset + first, buffer.subspan(offset + first, count));
        return !observer.stopRequested();
    };
}

std::string countText(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// An EEPROM address as messages name it: "08h", "1F0h".
std::string addressText(std::size_t address) {
    char text[24];
    std::snprintf(text, sizeof text, "%02zXh", address);
    return text;
}

std::string blankText(std::span<const Byte> bytes) {
    return "all " + std::to_string(bytes.size()) + " bytes read " + hexByteH(bytes.front());
}

} // namespace

std::string noAnswerMessage(const EepromTransfer& transfer, std::size_t address) {
    const std::string sink = sinkText(transfer);
    if (address == 0)
        return "No answer from the sink at " + sink + ".";
    return "The sink at " + sink + " stopped answering at EEPROM address " + addressText(address) +
           ".";
}

std::string progressPercentText(std::size_t done, std::size_t total) {
    char text[16];
    std::snprintf(text, sizeof text, "%3zu%%", total == 0 ? 0 : std::min(done, total) * 100 / total);
    return text;
}

bool isBlankContent(std::span<const Byte> bytes) {
    if (bytes.empty() || (bytes.front() != 0x00 && bytes.front() != 0xFF))
        return false;
    return std::all_of(bytes.begin(), bytes.end(), [&](Byte b) { return b == bytes.front(); });
}

std::vector<std::string> imageProblems(std::span<const Byte> image) {
    std::vector<std::string> problems;
    if (!hasEdidHeader(image))
        problems.push_back("it does not start with the EDID header 00 FF FF FF FF FF FF 00");
    if (image.size() % kBlockSize != 0)
        problems.push_back("it has " + std::to_string(image.size()) +
                           " bytes, not a whole number of 128-byte blocks");
    const std::size_t blocks = image.size() / kBlockSize;
    for (std::size_t k = 0; k < blocks; ++k) {
        const Byte stored = image[k * kBlockSize + kBlockSize - 1];
        const Byte expected = blockChecksum(image, k);
        if (stored != expected)
            problems.push_back("block " + std::to_string(k) + "'s checksum is " +
                               hexByteH(stored) + ", not " + hexByteH(expected));
    }
    if (image.size() > kExtensionCountOffset) {
        const std::size_t declared = 1 + image[kExtensionCountOffset];
        if (declared != blockCountOf(image.size()))
            problems.push_back("byte 126 declares " + countText(declared, "block", "blocks") +
                               ", the image has " +
                               countText(blockCountOf(image.size()), "block", "blocks"));
    }
    return problems;
}

EepromReadResult readEeprom(EepromTransfer& transfer, TransferObserver& observer,
                            std::optional<std::size_t> length) {
    EepromReadResult result;
    const std::size_t capacity = transfer.capacity();
    if (length && *length > capacity) {
        result.status = EepromReadResult::Status::Refused;
        result.message = "A " + std::string(eepromKindName(transfer.eepromKind())) +
                         " EEPROM holds " + std::to_string(capacity) + " bytes, not " +
                         std::to_string(*length) + ".";
        return result;
    }
    // A read that follows byte 126 starts with block 0.
    std::size_t planned = length ? *length : std::min(kBlockSize, capacity);
    result.bytes.assign(planned, 0);
    observer.phaseLength(TransferPhase::Read, planned);
    observer.phaseStarted(TransferPhase::Read);
    if (observer.stopRequested()) {
        result.status = EepromReadResult::Status::Stopped;
        return result;
    }
    const auto run = [&](std::size_t from) {
        const std::span<Byte> part = std::span(result.bytes).subspan(from);
        const TransferRun done = transfer.readContent(
            from, part, observedRead(observer, TransferPhase::Read, result.bytes, from));
        result.count = from + done.done;
        if (!done.answered) {
            result.status = EepromReadResult::Status::NoAnswer;
            result.message =
                done.problem.empty() ? noAnswerMessage(transfer, result.count) : done.problem;
        } else if (done.stopped || result.count < result.bytes.size()) {
            result.status = EepromReadResult::Status::Stopped;
        }
        return result.status == EepromReadResult::Status::Complete;
    };
    if (!run(0))
        return result;
    if (!length) {
        std::size_t wanted = std::min<std::size_t>(kImageSize, capacity);
        if (hasEdidHeader(result.bytes)) {
            const std::size_t blocks = 1 + result.bytes[kExtensionCountOffset];
            wanted = blocks * kBlockSize;
            if (wanted > capacity) {
                result.note = "Byte 126 declares " + countText(blocks, "block", "blocks") + " (" +
                              std::to_string(wanted) + " bytes), but a " +
                              std::string(eepromKindName(transfer.eepromKind())) +
                              " EEPROM holds " + std::to_string(capacity) + ": " +
                              std::to_string(capacity) + " bytes were read.";
                wanted = capacity;
            }
        }
        if (wanted > planned) {
            result.bytes.resize(wanted, 0);
            observer.phaseLength(TransferPhase::Read, wanted);
            if (!run(planned))
                return result;
            planned = wanted;
        }
    }
    if (isBlankContent(result.bytes)) {
        result.status = EepromReadResult::Status::NoContent;
        result.message = "The EEPROM at " + sinkText(transfer) + " holds " + kMsgNoEdidContent +
                         ": " + blankText(result.bytes) + ".";
    }
    return result;
}

std::vector<AddressedByte> allBytesOf(std::span<const Byte> image) {
    std::vector<AddressedByte> bytes;
    bytes.reserve(image.size());
    for (std::size_t i = 0; i < image.size(); ++i)
        bytes.push_back({i, image[i]});
    return bytes;
}

std::vector<EepromPage> changedPages(std::span<const Byte> content, std::span<const Byte> image) {
    std::vector<EepromPage> pages;
    for (std::size_t at = 0; at < image.size(); at += kEepromPageSize) {
        const std::size_t length = std::min(kEepromPageSize, image.size() - at);
        const auto from = image.subspan(at, length);
        if (at + length <= content.size() &&
            std::equal(from.begin(), from.end(), content.begin() + static_cast<std::ptrdiff_t>(at)))
            continue;
        EepromPage page;
        page.address = at;
        page.length = length;
        std::copy(from.begin(), from.end(), page.bytes.begin());
        pages.push_back(page);
    }
    return pages;
}

std::string addressRangesText(std::span<const std::size_t> addresses, std::size_t limit) {
    std::string text;
    std::size_t ranges = 0;
    for (std::size_t i = 0; i < addresses.size();) {
        std::size_t j = i;
        while (j + 1 < addresses.size() && addresses[j + 1] == addresses[j] + 1)
            ++j;
        if (ranges == limit) {
            text += ", ...";
            break;
        }
        if (ranges > 0)
            text += ", ";
        text += addressText(addresses[i]);
        if (j > i)
            text += "-" + addressText(addresses[j]);
        ++ranges;
        i = j + 1;
    }
    return text;
}

namespace {

using WriteStatus = EepromWriteResult::Status;

// Reads the image's length back and compares it with the image: with the
// transport's own reads, or in sequential reads. Sets the result's status
// and message (the status stays Pass when every byte matches).
void verifyWrite(EepromTransfer& transfer, std::span<const Byte> image, TransferObserver& observer,
                 bool sequential, EepromWriteResult& result) {
    result.endedIn = TransferPhase::Verify;
    result.readBack.assign(image.size(), 0);
    observer.phaseLength(TransferPhase::Verify, image.size());
    observer.phaseStarted(TransferPhase::Verify);
    if (observer.stopRequested()) {
        result.status = WriteStatus::Stopped;
        return;
    }
    const std::vector<Byte>& readBack = result.readBack;
    const auto compare = [&](std::size_t first, std::size_t count) {
        for (std::size_t a = first; a < first + count; ++a) {
            if (readBack[a] == image[a])
                continue;
            if (!result.firstDifference) {
                result.firstDifference = VerifyMismatch{a, image[a], readBack[a]};
                observer.verifyFailed(*result.firstDifference);
            }
            result.differingAddresses.push_back(a);
            ++result.differences;
        }
    };
    const TransferStep step =
        observedRead(observer, TransferPhase::Verify, result.readBack, 0, compare);
    const TransferRun verified = sequential ? transfer.readSequential(0, result.readBack, step)
                                            : transfer.readContent(0, result.readBack, step);
    result.verified = verified.done;
    if (!verified.answered) {
        result.status = WriteStatus::NoAnswer;
        result.message = "The bytes were written but could not be read back. " +
                         (verified.problem.empty() ? noAnswerMessage(transfer, verified.done)
                                                   : verified.problem);
    } else if (verified.stopped) {
        result.status = WriteStatus::Stopped;
    } else if (result.firstDifference) {
        const VerifyMismatch& m = *result.firstDifference;
        result.status = WriteStatus::Fail;
        result.message = "Verify failed at EEPROM address " + addressText(m.address) +
                         ": wrote " + hexByte(m.written) + ", read back " + hexByte(m.readBack) +
                         ". " + countText(result.differences, "byte differs", "bytes differ") +
                         " (" + addressRangesText(result.differingAddresses) + ").";
        if (isBlankContent(result.readBack))
            result.message += " The EEPROM read back " + blankText(result.readBack) + ": " +
                              kMsgNoEdidContent + ".";
    }
}

// What a write that ended early had done.
std::string writtenText(const EepromWriteResult& result) {
    if (result.written == 0)
        return "Nothing was written.";
    if (result.fast)
        return countText(result.pagesWritten, "page was", "pages were") + " written (" +
               std::to_string(result.written) + " of the image's " +
               std::to_string(result.length) + " bytes).";
    return std::to_string(result.written) + " of the image's " + std::to_string(result.length) +
           " bytes were written.";
}

// Where a failed write stopped: the byte or page the sink did not take, or,
// when it took one and then stopped answering (a poll timed out, or the last
// one written was followed by no answer), the one it took last.
template <typename Item>
std::size_t stoppedAt(const std::vector<Item>& items, const TransferRun& run) {
    if (items.empty())
        return 0;
    const std::size_t index = run.timedOut && run.done > 0 ? run.done - 1 : run.done;
    return items[std::min(index, items.size() - 1)].address;
}

// The byte-by-byte write of the given bytes. false when it did not run to
// its end (the result says why).
bool writeEachByte(EepromTransfer& transfer, TransferObserver& observer,
                   const std::vector<AddressedByte>& toWrite, EepromWriteResult& result) {
    observer.phaseLength(TransferPhase::Write, toWrite.size());
    observer.phaseStarted(TransferPhase::Write);
    if (observer.stopRequested()) {
        result.status = WriteStatus::Stopped;
        return false;
    }
    const TransferRun written =
        transfer.writeBytes(toWrite, [&](std::size_t first, std::size_t count) {
            for (std::size_t k = first; k < first + count; ++k)
                observer.stepDone(TransferPhase::Write, toWrite[k].address,
                                  std::span<const Byte>(&toWrite[k].value, 1));
            return !observer.stopRequested();
        });
    result.written = written.done;
    if (!written.answered) {
        result.status = WriteStatus::NoAnswer;
        std::string why;
        const std::size_t address = stoppedAt(toWrite, written);
        if (written.timedOut)
            why = "The sink at " + sinkText(transfer) + " took the byte at " +
                  addressText(address) + " but did not answer again within " +
                  std::to_string(kAckPollLimitUs / 1000) + " ms.";
        else if (!written.problem.empty())
            why = written.problem;
        else
            why = noAnswerMessage(transfer, address);
        result.message = why + " " + writtenText(result);
        return false;
    }
    if (written.stopped) {
        result.status = WriteStatus::Stopped;
        return false;
    }
    return true;
}

// The fast write: the pages, each followed by acknowledge polling.
bool writeChangedPages(EepromTransfer& transfer, TransferObserver& observer,
                       const std::vector<EepromPage>& pages, EepromWriteResult& result) {
    result.pagesChanged = pages.size();
    std::size_t total = 0;
    for (const EepromPage& page : pages)
        total += page.length;
    observer.phaseLength(TransferPhase::Write, total);
    observer.phaseStarted(TransferPhase::Write);
    if (observer.stopRequested()) {
        result.status = WriteStatus::Stopped;
        return false;
    }
    const TransferRun written = transfer.writePages(pages, [&](std::size_t first, std::size_t) {
        observer.stepDone(TransferPhase::Write, pages[first].address, pages[first].data());
        return !observer.stopRequested();
    });
    result.pagesWritten = written.done;
    result.written = 0;
    for (std::size_t k = 0; k < written.done; ++k)
        result.written += pages[k].length;
    if (!written.answered) {
        result.status = WriteStatus::NoAnswer;
        const std::size_t address = stoppedAt(pages, written);
        std::string why;
        if (written.timedOut)
            why = "The sink at " + sinkText(transfer) + " took the page at " +
                  addressText(address) + " but did not answer again within " +
                  std::to_string(kAckPollLimitUs / 1000) + " ms.";
        else if (!written.problem.empty())
            why = written.problem;
        else
            why = noAnswerMessage(transfer, address);
        result.message = why + " " + writtenText(result);
        return false;
    }
    if (written.stopped) {
        result.status = WriteStatus::Stopped;
        return false;
    }
    return true;
}

std::string hexBytesText(std::span<const Byte> bytes) {
    std::string text;
    for (Byte b : bytes)
        text += (text.empty() ? "" : " ") + hexByte(b);
    return text;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    return text;
}

} // namespace

EepromWriteResult writeEeprom(EepromTransfer& transfer, std::span<const Byte> image,
                              TransferObserver& observer,
                              std::optional<std::vector<AddressedByte>> bytes) {
    EepromWriteResult result;
    result.length = image.size();
    const std::vector<AddressedByte> toWrite = bytes ? std::move(*bytes) : allBytesOf(image);
    if (writeEachByte(transfer, observer, toWrite, result))
        verifyWrite(transfer, image, observer, false, result);
    return result;
}

EepromWriteResult writeEepromTransaction(EepromTransfer& transfer, std::span<const Byte> image,
                                         TransferObserver& observer,
                                         const WriteTransactionOptions& options) {
    EepromWriteResult result;
    result.fast = transfer.fastWrite();
    result.endedIn = TransferPhase::Backup;
    result.length = image.size();

    // (0) What is never written, and what is written only when confirmed.
    const auto refuse = [&](const std::string& why) {
        result.status = WriteStatus::Refused;
        result.message = why;
        return result;
    };
    if (image.empty())
        return refuse("The image is empty. Nothing was written.");
    if (const std::string problem = capacityProblem(transfer.eepromKind(), image.size());
        !problem.empty())
        return refuse(problem);
    if (const std::string refusal = transfer.writeRefusal(); !refusal.empty())
        return refuse(refusal);
    if (const std::vector<std::string> problems = imageProblems(image); !problems.empty()) {
        const std::string finding = "The image is no sound EDID: " + joined(problems) + ".";
        if (!options.confirmImage || !options.confirmImage(finding + " Write it all the same?"))
            return refuse(finding + " Nothing was written.");
    }

    // (1) The content as it is, in the same way as the verify will read it.
    observer.phaseLength(TransferPhase::Backup, image.size());
    observer.phaseStarted(TransferPhase::Backup);
    if (observer.stopRequested()) {
        result.status = WriteStatus::Stopped;
        return result;
    }
    std::vector<Byte> content(image.size(), 0);
    const TransferStep step = observedRead(observer, TransferPhase::Backup, content);
    const TransferRun read = result.fast ? transfer.readSequential(0, content, step)
                                         : transfer.readContent(0, content, step);
    if (!read.answered) {
        result.status = WriteStatus::NoAnswer;
        result.message =
            (read.problem.empty() ? noAnswerMessage(transfer, read.done) : read.problem) +
            " Nothing was written.";
        return result;
    }
    if (read.stopped || read.done < content.size()) {
        result.status = WriteStatus::Stopped;
        return result;
    }
    if (transfer.guardsNonEdidContent() && !looksLikeEdid(content)) {
        const std::string sink = sinkText(transfer);
        const std::string finding =
            "The EEPROM at " + sink + " does not hold an EDID: it starts with " +
            hexBytesText(std::span<const Byte>(content).first(std::min<std::size_t>(8, content.size()))) +
            ", not with the EDID header 00 FF FF FF FF FF FF 00.";
        if (!options.confirmOverwrite ||
            !options.confirmOverwrite(finding +
                                      " It may belong to another device. Overwrite it?")) {
            result.status = WriteStatus::Refused;
            result.message = finding + " Nothing was written.";
            return result;
        }
    }
    if (isBlankContent(content))
        result.backupNote = "The sink's previous content read as " + blankText(content) + ": " +
                            kMsgNoEdidContent + ".";
    const BackupSave backup =
        saveEepromBackup(options.backupDirectory, transfer.portName(), content);
    if (!backup.problem.empty()) {
        result.status = WriteStatus::NotBackedUp;
        result.message = backup.problem + " Nothing was written.";
        return result;
    }
    result.backupPath = backup.path.string();
    observer.backupSaved(result.backupPath);

    // (2) The write, (3) the verify.
    result.endedIn = TransferPhase::Write;
    const bool written =
        result.fast ? writeChangedPages(transfer, observer, changedPages(content, image), result)
                    : writeEachByte(transfer, observer, allBytesOf(image), result);
    if (written)
        verifyWrite(transfer, image, observer, result.fast, result);

    // A sink that took the bytes but kept its old ones is write-protected.
    if (result.status == WriteStatus::Fail &&
        std::all_of(result.differingAddresses.begin(), result.differingAddresses.end(),
                    [&](std::size_t a) { return result.readBack[a] == content[a]; })) {
        result.writeProtected = true;
        result.message += " The EEPROM still holds its previous bytes at every differing "
                          "address: it is write-protected (its WP pin held high, or a sink that "
                          "protects its EDID).";
    }

    // (4) Whatever went wrong after the backup names it.
    const bool touched = result.written > 0 || result.endedIn == TransferPhase::Verify;
    if (result.status == WriteStatus::Stopped && result.endedIn == TransferPhase::Write)
        result.message = "The write was stopped. " + writtenText(result) +
                         (result.written > 0 ? " The EEPROM holds part of the image." : "");
    if (result.status != WriteStatus::Pass && touched) {
        if (!result.message.empty())
            result.message += "\n";
        result.message += "The sink's previous content is saved in " + result.backupPath + ".";
    }
    return result;
}

} // namespace pellam
