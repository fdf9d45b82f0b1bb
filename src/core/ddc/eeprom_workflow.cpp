#include "core/ddc/eeprom_workflow.h"

#include "core/ddc/eeprom_backup.h"
#include "core/ddc/i2c_dev_transport.h"
#include "core/edid/hex.h"

#include <algorithm>
#include <cstdio>

namespace pellam {

namespace {

// The step callback of a read: reports the bytes, then tests for a stop.
// check, when given, looks at the bytes first.
TransferStep observedRead(TransferObserver& observer, TransferPhase phase, const EdidImage& buffer,
                          const std::function<void(std::size_t, std::size_t)>& check = {}) {
    return [&observer, phase, &buffer, check](std::size_t first, std::size_t count) {
        if (check)
            check(first, count);
        observer.stepDone(phase, first, std::span<const Byte>(buffer).subspan(first, count));
        return !observer.stopRequested();
    };
}

std::string countText(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

std::string noAnswerMessage(const EepromTransfer& transfer, std::size_t address) {
    const std::string sink = sinkText(transfer);
    if (address == 0)
        return "No answer from the sink at " + sink + ".";
    return "The sink at " + sink + " stopped answering at EEPROM address " +
           hexByteH(static_cast<Byte>(address)) + ".";
}

std::string progressPercentText(int position) {
    char text[16];
    std::snprintf(text, sizeof text, "%3d%%", position * 100 / 255);
    return text;
}

EepromReadResult readEeprom(EepromTransfer& transfer, TransferObserver& observer) {
    EepromReadResult result;
    observer.phaseStarted(TransferPhase::Read);
    if (observer.stopRequested()) {
        result.status = EepromReadResult::Status::Stopped;
        return result;
    }
    const TransferRun run = transfer.readContent(
        result.bytes, observedRead(observer, TransferPhase::Read, result.bytes));
    result.count = run.done;
    if (!run.answered) {
        result.status = EepromReadResult::Status::NoAnswer;
        result.message = noAnswerMessage(transfer, run.done);
    } else if (run.stopped || run.done < kImageSize) {
        result.status = EepromReadResult::Status::Stopped;
    }
    return result;
}

std::vector<AddressedByte> allBytesOf(const EdidImage& image) {
    std::vector<AddressedByte> bytes;
    bytes.reserve(image.size());
    for (std::size_t i = 0; i < image.size(); ++i)
        bytes.push_back({static_cast<Byte>(i), image[i]});
    return bytes;
}

std::vector<EepromPage> changedPages(const EdidImage& content, const EdidImage& image) {
    std::vector<EepromPage> pages;
    for (std::size_t at = 0; at < image.size(); at += kEepromPageSize) {
        const auto from = static_cast<std::ptrdiff_t>(at);
        const auto to = from + static_cast<std::ptrdiff_t>(kEepromPageSize);
        if (std::equal(image.begin() + from, image.begin() + to, content.begin() + from))
            continue;
        EepromPage page;
        page.address = static_cast<Byte>(at);
        std::copy(image.begin() + from, image.begin() + to, page.bytes.begin());
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
        text += hexByteH(static_cast<Byte>(addresses[i]));
        if (j > i)
            text += "-" + hexByteH(static_cast<Byte>(addresses[j]));
        ++ranges;
        i = j + 1;
    }
    return text;
}

namespace {

using WriteStatus = EepromWriteResult::Status;

// Reads everything back and compares it with the image: with the
// transport's own reads, or in one sequential read. Sets the result's
// status and message (the status stays Pass when all 256 match).
void verifyWrite(EepromTransfer& transfer, const EdidImage& image, TransferObserver& observer,
                 bool sequential, EepromWriteResult& result) {
    result.endedIn = TransferPhase::Verify;
    observer.phaseStarted(TransferPhase::Verify);
    if (observer.stopRequested()) {
        result.status = WriteStatus::Stopped;
        return;
    }
    const EdidImage& readBack = result.readBack;
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
        observedRead(observer, TransferPhase::Verify, result.readBack, compare);
    const TransferRun verified = sequential ? transfer.readSequential(result.readBack, step)
                                            : transfer.readContent(result.readBack, step);
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
        result.message = "Verify failed at EEPROM address " +
                         hexByteH(static_cast<Byte>(m.address)) + ": wrote " + hexByte(m.written) +
                         ", read back " + hexByte(m.readBack) + ". " +
                         countText(result.differences, "byte differs", "bytes differ") + " (" +
                         addressRangesText(result.differingAddresses) + ").";
    }
}

// The byte-by-byte write of the given bytes. false when it did not run to
// its end (the result says why).
bool writeEachByte(EepromTransfer& transfer, TransferObserver& observer,
                   const std::vector<AddressedByte>& toWrite, EepromWriteResult& result) {
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
        const std::size_t address =
            written.done < toWrite.size() ? toWrite[written.done].address : 0;
        result.message =
            (written.problem.empty() ? noAnswerMessage(transfer, address) : written.problem) + " " +
            (written.done == 0 ? std::string("Nothing was written.")
                               : countText(written.done, "byte was", "bytes were") + " written.");
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
    observer.phaseStarted(TransferPhase::Write);
    if (observer.stopRequested()) {
        result.status = WriteStatus::Stopped;
        return false;
    }
    const TransferRun written = transfer.writePages(pages, [&](std::size_t first, std::size_t) {
        observer.stepDone(TransferPhase::Write, pages[first].address, pages[first].bytes);
        return !observer.stopRequested();
    });
    result.pagesWritten = written.done;
    result.written = written.done * kEepromPageSize;
    if (!written.answered) {
        result.status = WriteStatus::NoAnswer;
        const std::size_t address =
            pages[written.timedOut ? written.done - 1 : written.done].address;
        const std::string sink = sinkText(transfer);
        std::string why;
        if (written.timedOut)
            why = "The sink at " + sink + " took the page at " +
                  hexByteH(static_cast<Byte>(address)) + " but did not answer again within " +
                  std::to_string(kAckPollLimitUs / 1000) + " ms.";
        else if (!written.problem.empty())
            why = written.problem;
        else
            why = noAnswerMessage(transfer, address);
        result.message =
            why + " " +
            (written.done == 0 ? std::string("Nothing was written.")
                               : countText(written.done, "page was", "pages were") + " written.");
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

} // namespace

EepromWriteResult writeEeprom(EepromTransfer& transfer, const EdidImage& image,
                              TransferObserver& observer,
                              std::optional<std::vector<AddressedByte>> bytes) {
    EepromWriteResult result;
    const std::vector<AddressedByte> toWrite = bytes ? std::move(*bytes) : allBytesOf(image);
    if (writeEachByte(transfer, observer, toWrite, result))
        verifyWrite(transfer, image, observer, false, result);
    return result;
}

EepromWriteResult writeEepromTransaction(EepromTransfer& transfer, const EdidImage& image,
                                         TransferObserver& observer,
                                         const WriteTransactionOptions& options) {
    EepromWriteResult result;
    result.fast = transfer.fastWrite();
    result.endedIn = TransferPhase::Backup;

    // (1) The content as it is, in the same way as the verify will read it.
    observer.phaseStarted(TransferPhase::Backup);
    if (observer.stopRequested()) {
        result.status = WriteStatus::Stopped;
        return result;
    }
    EdidImage content{};
    const TransferStep step = observedRead(observer, TransferPhase::Backup, content);
    const TransferRun read =
        result.fast ? transfer.readSequential(content, step) : transfer.readContent(content, step);
    if (!read.answered) {
        result.status = WriteStatus::NoAnswer;
        result.message =
            (read.problem.empty() ? noAnswerMessage(transfer, read.done) : read.problem) +
            " Nothing was written.";
        return result;
    }
    if (read.stopped || read.done < kImageSize) {
        result.status = WriteStatus::Stopped;
        return result;
    }
    if (transfer.guardsNonEdidContent() && !looksLikeEdid(content)) {
        const std::string sink = sinkText(transfer);
        const std::string finding = "The EEPROM at " + sink +
                                    " does not hold an EDID: it starts with " +
                                    hexBytesText(std::span(content).first(8)) +
                                    ", not with the EDID header 00 FF FF FF FF FF FF 00.";
        if (!options.confirmOverwrite ||
            !options.confirmOverwrite(finding +
                                      " It may belong to another device. Overwrite it?")) {
            result.status = WriteStatus::Refused;
            result.message = finding + " Nothing was written.";
            return result;
        }
    }
    const BackupSave backup =
        saveEepromBackup(options.backupDirectory, transfer.portName(), content);
    if (!backup.problem.empty()) {
        result.status = WriteStatus::NotBackedUp;
        result.message = backup.problem + " Nothing was written.";
        return result;
    }
    result.backupPath = backup.path.string();

    // (2) The write, (3) the verify.
    result.endedIn = TransferPhase::Write;
    const bool written =
        result.fast ? writeChangedPages(transfer, observer, changedPages(content, image), result)
                    : writeEachByte(transfer, observer, allBytesOf(image), result);
    if (written)
        verifyWrite(transfer, image, observer, result.fast, result);

    // (4) Whatever went wrong after the backup names it.
    const bool touched = result.written > 0 || result.endedIn == TransferPhase::Verify;
    if (result.status != WriteStatus::Pass && touched) {
        if (!result.message.empty())
            result.message += "\n";
        result.message += "The sink's previous content is saved in " + result.backupPath + ".";
    }
    return result;
}

} // namespace pellam
