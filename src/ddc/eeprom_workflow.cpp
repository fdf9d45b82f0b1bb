#include "ddc/eeprom_workflow.h"

#include "edid/hex.h"

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
    const std::string sink =
        "slave address " + hexByte(transfer.slaveAddress()) + "h on " + transfer.portName();
    if (address == 0)
        return "No answer from the sink at " + sink + ".";
    return "The sink at " + sink + " stopped answering at EEPROM address " +
           hexByte(static_cast<Byte>(address)) + "h.";
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

EepromWriteResult writeEeprom(EepromTransfer& transfer, const EdidImage& image,
                              TransferObserver& observer,
                              std::optional<std::vector<AddressedByte>> bytes) {
    using Status = EepromWriteResult::Status;
    EepromWriteResult result;
    const std::vector<AddressedByte> toWrite = bytes ? std::move(*bytes) : allBytesOf(image);

    observer.phaseStarted(TransferPhase::Write);
    if (observer.stopRequested()) {
        result.status = Status::Stopped;
        return result;
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
        result.status = Status::NoAnswer;
        const std::size_t address =
            written.done < toWrite.size() ? toWrite[written.done].address : 0;
        result.message =
            noAnswerMessage(transfer, address) + " " +
            (written.done == 0 ? std::string("Nothing was written.")
                               : countText(written.done, "byte was", "bytes were") + " written.");
        return result;
    }
    if (written.stopped) {
        result.status = Status::Stopped;
        return result;
    }

    result.endedIn = TransferPhase::Verify;
    observer.phaseStarted(TransferPhase::Verify);
    if (observer.stopRequested()) {
        result.status = Status::Stopped;
        return result;
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
            ++result.differences;
        }
    };
    const TransferRun verified = transfer.readContent(
        result.readBack, observedRead(observer, TransferPhase::Verify, result.readBack, compare));
    result.verified = verified.done;
    if (!verified.answered) {
        result.status = Status::NoAnswer;
        result.message = "The bytes were written but could not be read back. " +
                         noAnswerMessage(transfer, verified.done);
    } else if (verified.stopped) {
        result.status = Status::Stopped;
    } else if (result.firstDifference) {
        const VerifyMismatch& m = *result.firstDifference;
        result.status = Status::Fail;
        result.message = "Verify failed at EEPROM address " +
                         hexByte(static_cast<Byte>(m.address)) + "h: wrote " + hexByte(m.written) +
                         ", read back " + hexByte(m.readBack) + ". " +
                         countText(result.differences, "byte differs", "bytes differ") + ".";
    }
    return result;
}

} // namespace pellam
