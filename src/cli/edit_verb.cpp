// pellam-cli edit: scripted changes of the fields a production line stamps
// into each sink (serial numbers, dates, names, the HDMI physical address),
// through the codecs the editor's pages use, then both checksums.
#include "core/base_block/display_descriptor.h"
#include "core/base_block/vendor_product.h"
#include "core/cea/extension_block.h"
#include "cli/cli.h"
#include "cli/cli_support.h"
#include "cli/verbs.h"
#include "core/edid/decimal.h"
#include "core/edid/edid_file.h"
#include "core/edid/hex.h"
#include "core/edid/workspace.h"

#include <algorithm>
#include <functional>
#include <ostream>

namespace pellam::cli {

const std::string kEditHelp =
    R"(Usage: pellam-cli edit [options] IN OUT... --set FIELD=VALUE... [--serial-step N]

Reads the EDID file IN, sets each FIELD to VALUE, recomputes both checksums
and writes OUT (its extension names the form, as for convert; IN and one OUT
may be - for standard input and output). Every value is checked before
anything is written: a refused value writes no file. The OUT files are
written all or none: each is first written in full beside its target, and
only when all are written do they take their names.

Options:
  --set FIELD=VALUE  the field to set and its value (may be given again)
  --serial-step N    with several OUT files, step the serial numbers by N
  --input-format F   read IN as bin (raw binary), hex (hex text) or ddc (hex
                     text, one byte a line), whatever its name
  --output-format F  write every OUT as bin or hex, whatever its name

Fields:
  manufacturer=ABC        three letters A to Z (bytes 8-9)
  product-code=HHHH       four hexadecimal digits (bytes 10-11)
  serial=N                the 32-bit serial number, 0 to 4294967295
  serial-text=TEXT        the serial number descriptor (tag FF), at most 13
                          characters
  monitor-name=TEXT       the monitor name descriptor (tag FC), at most 13
                          characters
  week=N                  week of manufacture, 1 to 53, or 255 for a model
                          year (EDID 1.4)
  year=N                  year of manufacture (or model year), 1990 to 2245
  physical-address=A.B.C.D
                          the CEC physical address of the HDMI vendor-specific
                          data block, four hexadecimal digits (one EEPROM per
                          input of a multi-input sink, each with its own)

A text descriptor is written into the slot of its kind, or else into an
unused (dummy, tag 10) descriptor slot; an image with neither is refused.

With several OUT files, --serial-step N writes numbered variants: the k-th
file (counting from 0) gets the serial number plus k*N, and when serial-text
ends in digits, those digits plus k*N (as wide as they were). A step that
would take the serial number past 4294967295, step from 0 (which means no
serial number), or make serial-text longer than 13 characters is refused
before any file is written.

Exit status: 0 on success, 2 on a usage error, a refused value, or a file
that cannot be read or written.
)";

namespace {

// One --set, checked: applying it to an image cannot fail any more.
struct CheckedSet {
    using Apply = std::function<void(EdidWorkspace&, std::uint64_t step)>;
    CheckedSet(std::string field_, Apply apply_, std::string steppedValue_ = {},
               std::uint64_t base_ = 0)
        : field(std::move(field_))
        , apply(std::move(apply_))
        , steppedValue(std::move(steppedValue_))
        , base(base_) {}

    std::string field;
    std::function<void(EdidWorkspace&, std::uint64_t step)> apply;
    // serial-text: the text, when its trailing digits step.
    std::string steppedValue;
    // serial: the number set.
    std::uint64_t base = 0;
};

bool isPrintableAscii(const std::string& text) {
    for (unsigned char c : text)
        if (c < 0x20 || c > 0x7E)
            return false;
    return true;
}

// The slot a text descriptor of this kind goes into: the first of its kind,
// else the first dummy descriptor; 0 when there is neither.
int textDescriptorSlot(const EdidImage& image, DescriptorKind kind) {
    for (int slot = 1; slot <= kDescriptorSlotCount; ++slot)
        if (classifyDescriptor(descriptorSlot(image, slot)) == kind)
            return slot;
    for (int slot = 1; slot <= kDescriptorSlotCount; ++slot)
        if (classifyDescriptor(descriptorSlot(image, slot)) == DescriptorKind::Dummy)
            return slot;
    return 0;
}

// The text with its trailing digits increased by step, as wide as they were
// (wider only when the number needs it).
std::string steppedText(const std::string& text, std::uint64_t step) {
    std::size_t digits = text.size();
    while (digits > 0 && text[digits - 1] >= '0' && text[digits - 1] <= '9')
        --digits;
    if (digits == text.size() || step == 0)
        return text;
    const std::string number = text.substr(digits);
    std::string sum;
    std::uint64_t carry = step;
    for (auto it = number.rbegin(); it != number.rend(); ++it) {
        carry += static_cast<unsigned>(*it - '0');
        sum.insert(sum.begin(), static_cast<char>('0' + carry % 10));
        carry /= 10;
    }
    while (carry > 0) {
        sum.insert(sum.begin(), static_cast<char>('0' + carry % 10));
        carry /= 10;
    }
    return text.substr(0, digits) + sum;
}

std::optional<CheckedSet> textDescriptorEdit(const std::string& field, const std::string& value,
                                             DescriptorKind kind, bool stepped,
                                             const EdidImage& image, std::string& refusal) {
    if (value.size() > kDescriptorTextLength) {
        refusal = field + ": '" + value + "' is longer than 13 characters";
        return std::nullopt;
    }
    if (!isPrintableAscii(value)) {
        refusal = field + ": only printable ASCII characters fit a descriptor";
        return std::nullopt;
    }
    const int slot = textDescriptorSlot(image, kind);
    if (slot == 0) {
        refusal = field + ": block 0 has no " +
                  (kind == DescriptorKind::SerialNumber ? "serial number" : "monitor name") +
                  " descriptor and no unused descriptor slot to put one in";
        return std::nullopt;
    }
    return CheckedSet{field, [=](EdidWorkspace& ws, std::uint64_t step) {
                          const DtdSlot bytes = descriptorSlot(ws.image, slot);
                          const std::string text = stepped ? steppedText(value, step) : value;
                          if (classifyDescriptor(bytes) != kind) {
                              // A dummy slot becomes the descriptor: its payload
                              // is written whole below.
                              setDescriptorKind(bytes, kind);
                              bytes[4] = 0;
                          }
                          // The step was checked to keep the text within 13
                          // characters.
                          encodeDescriptorText(text, descriptorText(bytes));
                      },
                      stepped ? value : std::string()};
}

std::optional<std::uint32_t> parseBoundedDecimal(const std::string& text, std::uint64_t max) {
    if (!isDigitsOnly(text) || text.size() > 10)
        return std::nullopt;
    const std::uint64_t value = std::stoull(text);
    if (value > max)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

std::optional<CheckedSet> checkEdit(const std::string& assignment, const EdidImage& image,
                                    std::string& refusal) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string::npos) {
        refusal = "--set takes FIELD=VALUE, not '" + assignment + "'";
        return std::nullopt;
    }
    const std::string field = assignment.substr(0, equals);
    const std::string value = assignment.substr(equals + 1);
    const auto refuse = [&](const std::string& why) {
        refusal = field + ": '" + value + "' " + why;
        return std::nullopt;
    };

    if (field == "manufacturer") {
        const TypedCode code = parseManufacturerIdText(value);
        if (!code.value || value.size() != 3)
            return refuse("is not three letters A to Z");
        const std::uint16_t word = *code.value;
        return CheckedSet{field, [word](EdidWorkspace& ws, std::uint64_t) {
                              writeManufacturerId(ws.image, word);
                          }};
    }
    if (field == "product-code") {
        const auto code = value.size() == 4 ? parseHexNumber(value) : std::nullopt;
        if (!code)
            return refuse("is not four hexadecimal digits");
        const auto word = static_cast<std::uint16_t>(*code);
        return CheckedSet{
            field, [word](EdidWorkspace& ws, std::uint64_t) { writeProductCode(ws.image, word); }};
    }
    if (field == "serial") {
        const auto serial = parseBoundedDecimal(value, 0xFFFFFFFFu);
        if (!serial)
            return refuse("is not a number from 0 to 4294967295");
        const std::uint32_t base = *serial;
        // The step was checked to stay within 32 bits.
        return CheckedSet{field, [base](EdidWorkspace& ws, std::uint64_t step) {
                              writeSerialNumber(ws, static_cast<std::uint32_t>(base + step));
                          },
                          {},
                          base};
    }
    if (field == "serial-text")
        return textDescriptorEdit(field, value, DescriptorKind::SerialNumber, true, image, refusal);
    if (field == "monitor-name")
        return textDescriptorEdit(field, value, DescriptorKind::MonitorName, false, image, refusal);
    if (field == "week") {
        const auto week = parseBoundedDecimal(value, 255);
        if (!week || (*week > kLastWeek && *week != kModelYearWeek) || *week == 0)
            return refuse("is not a week from 1 to 53, or 255 for a model year");
        const auto byte = static_cast<Byte>(*week);
        return CheckedSet{
            field, [byte](EdidWorkspace& ws, std::uint64_t) { ws.image[kWeekOffset] = byte; }};
    }
    if (field == "year") {
        const auto year = parseBoundedDecimal(value, kFirstYear + 255);
        if (!year || *year < static_cast<std::uint32_t>(kFirstYear))
            return refuse("is not a year from 1990 to 2245");
        const int y = static_cast<int>(*year);
        return CheckedSet{
            field, [y](EdidWorkspace& ws, std::uint64_t) { writeYearOfManufacture(ws.image, y); }};
    }
    if (field == "physical-address") {
        // A.B.C.D, one hexadecimal digit each.
        std::array<Byte, 4> digits{};
        bool ok = value.size() == 7;
        for (std::size_t i = 0; ok && i < 4; ++i) {
            const auto digit = parseHexNumber(value.substr(2 * i, 1));
            ok = digit.has_value() && (i == 3 || value[2 * i + 1] == '.');
            if (ok)
                digits[i] = static_cast<Byte>(*digit);
        }
        if (!ok)
            return refuse("is not a physical address A.B.C.D of hexadecimal digits");
        DataBlockCollection collection;
        parseExtensionBlock(image, collection);
        if (image[kExtensionCountOffset] == 0 || !collection.vsdb.present) {
            refusal = "physical-address: the image has no HDMI vendor-specific data block";
            return std::nullopt;
        }
        // The two address bytes are written in place: nothing else of block 1 moves.
        const auto at = static_cast<std::size_t>(collection.vsdb.offset) + 4;
        return CheckedSet{field, [at, digits](EdidWorkspace& ws, std::uint64_t) {
                              ws.image[at] = static_cast<Byte>(digits[0] << 4 | digits[1]);
                              ws.image[at + 1] = static_cast<Byte>(digits[2] << 4 | digits[3]);
                          }};
    }
    refusal = "unknown field '" + field +
              "' (manufacturer, product-code, serial, serial-text, monitor-name, week, "
              "year, physical-address)";
    return std::nullopt;
}

// Refuses a --serial-step that the numbered outputs cannot hold: a serial
// number past 32 bits, a step from 0 (no serial number), a serial text past
// 13 characters. `last` is the step of the last output.
bool stepFits(const std::vector<CheckedSet>& edits, const EdidImage& original, std::uint64_t last,
              std::string& refusal) {
    if (last == 0)
        return true;
    const auto serial = std::find_if(edits.begin(), edits.end(),
                                     [](const CheckedSet& e) { return e.field == "serial"; });
    const std::uint64_t base =
        serial != edits.end() ? serial->base : serialNumber(original);
    if (base == 0) {
        refusal = serial != edits.end()
                      ? "serial: a step from 0 gives the first file no serial number (0 means "
                        "none); start from 1 or above"
                      : "--serial-step: the image has no serial number (0 means none); give "
                        "--set serial=N to step from";
        return false;
    }
    if (base + last > 0xFFFFFFFFu) {
        refusal = "serial: stepping from " + std::to_string(base) + " reaches " +
                  std::to_string(base + last) +
                  ", past the largest serial number 4294967295; no file was written";
        return false;
    }
    for (const CheckedSet& edit : edits) {
        if (edit.steppedValue.empty())
            continue;
        const std::string text = steppedText(edit.steppedValue, last);
        if (text.size() > kDescriptorTextLength) {
            refusal = edit.field + ": stepping '" + edit.steppedValue + "' reaches '" + text +
                      "', longer than 13 characters; no file was written";
            return false;
        }
    }
    return true;
}

const OptionRule kEditOptions[] = {
    {"--set", nullptr, true},
    {"--serial-step", nullptr, true},
    {"--input-format", nullptr, true},
    {"--output-format", nullptr, true},
};

} // namespace

int editVerb(const Args& args, std::ostream&, std::ostream& err) {
    ParsedArgs parsed;
    if (const int status = parseArguments("edit", args, kEditOptions, parsed, err))
        return status;
    const std::vector<std::string>& files = parsed.operands;
    std::vector<std::string> sets;
    std::uint64_t serialStep = 0;
    FileForm inForm = FileForm::Auto;
    FileForm outForm = FileForm::Auto;
    for (const auto& [name, value] : parsed.options) {
        if (name == "--set") {
            sets.push_back(value);
        } else if (name == "--serial-step") {
            const auto step = parseBoundedDecimal(value, 0xFFFFFFFFu);
            if (!step)
                return usageError(err, "--serial-step takes a number from 0 to 4294967295, not '" +
                                           displayText(value) + "'");
            serialStep = *step;
        } else {
            const auto form = fileFormNamed(value);
            const bool output = name == "--output-format";
            if (!form || (output && *form == FileForm::HexLines))
                return usageError(err, name + " takes " +
                                           (output ? "bin or hex" : "bin, hex or ddc") + ", not '" +
                                           displayText(value) + "'");
            (output ? outForm : inForm) = *form;
        }
    }
    if (files.size() < 2)
        return usageError(err, "edit takes IN and at least one OUT");
    if (sets.empty())
        return usageError(err, "edit needs at least one --set FIELD=VALUE");
    for (std::size_t k = 1; k < files.size(); ++k) {
        if (!isWritablePath(files[k], outForm)) {
            err << "pellam-cli: " << notWritableMessage(files[k]) << "\n";
            return kExitUsage;
        }
        if (std::find(files.begin() + 1, files.begin() + static_cast<std::ptrdiff_t>(k),
                      files[k]) != files.begin() + static_cast<std::ptrdiff_t>(k))
            return usageError(err, "\"" + displayName(files[k]) + "\" is named twice as OUT");
    }

    EdidBytes input;
    if (!readInput(files[0], input, err, inForm))
        return kExitUsage;
    if (!hasEdidHeader(input)) {
        err << kMsgEdidFileFormatIncorrect << "\n";
        return kExitUsage;
    }
    reportFindings(files[0], input, err);
    EdidWorkspace ws;
    adoptEdidBytes(ws, input);
    std::vector<CheckedSet> edits;
    for (const std::string& set : sets) {
        std::string refusal;
        auto edit = checkEdit(set, ws.image, refusal);
        if (!edit) {
            err << "pellam-cli: " << displayText(refusal) << "\n";
            return kExitUsage;
        }
        edits.push_back(std::move(*edit));
    }
    const std::uint64_t lastStep = (files.size() - 2) * serialStep;
    if (std::string refusal; !stepFits(edits, ws.image, lastStep, refusal)) {
        err << "pellam-cli: " << displayText(refusal) << "\n";
        return kExitUsage;
    }

    // Every output is staged before any takes its name.
    const EdidImage original = ws.image;
    const bool serialSet = std::any_of(edits.begin(), edits.end(),
                                       [](const CheckedSet& e) { return e.field == "serial"; });
    StagedOutputs outputs;
    for (std::size_t k = 1; k < files.size(); ++k) {
        ws.image = original;
        const std::uint64_t step = (k - 1) * serialStep;
        for (const CheckedSet& edit : edits)
            edit.apply(ws, step);
        if (step != 0 && !serialSet)
            writeSerialNumber(ws, static_cast<std::uint32_t>(serialNumber(original) + step));
        ApplyAutoChecksums(ws.image, true);
        applyBlockChecksums(ws.moreBlocks, true);
        // Every block of IN, and nothing more.
        EdidBytes output = edidBytes(ws, true);
        output.resize(input.size());
        if (!outputs.stage(files[k], fileContents(files[k], output, outForm), err))
            return kExitUsage;
    }
    return outputs.commit(err) ? kExitOk : kExitUsage;
}

} // namespace pellam::cli
