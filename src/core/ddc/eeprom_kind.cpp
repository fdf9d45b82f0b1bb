#include "core/ddc/eeprom_kind.h"

#include <cctype>

namespace pellam {

std::string_view eepromKindName(EepromKind kind) {
    switch (kind) {
    case EepromKind::C01:
        return "24C01/24C21";
    case EepromKind::C02:
        return "24C02";
    case EepromKind::C04:
        return "24C04";
    case EepromKind::C08:
        return "24C08";
    case EepromKind::C16:
        return "24C16";
    case EepromKind::EDdc:
        return "E-DDC";
    }
    return "24C02";
}

std::optional<EepromKind> eepromKindNamed(std::string_view name) {
    std::string upper;
    for (char c : name)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    struct Alias {
        const char* name;
        EepromKind kind;
    };
    static constexpr Alias kAliases[] = {
        {"24C01", EepromKind::C01},   {"24C21", EepromKind::C01}, {"24LC21A", EepromKind::C01},
        {"24C01/24C21", EepromKind::C01}, {"24C02", EepromKind::C02}, {"24C04", EepromKind::C04},
        {"24C08", EepromKind::C08},   {"24C16", EepromKind::C16}, {"E-DDC", EepromKind::EDdc},
        {"EDDC", EepromKind::EDdc},
    };
    for (const Alias& alias : kAliases)
        if (upper == alias.name)
            return alias.kind;
    return std::nullopt;
}

std::optional<EepromKind> eepromKindFromNumber(std::int64_t number) {
    if (number < 0 || number >= static_cast<std::int64_t>(kEepromKinds.size()))
        return std::nullopt;
    return kEepromKinds[static_cast<std::size_t>(number)];
}

std::size_t eepromCapacity(EepromKind kind) {
    switch (kind) {
    case EepromKind::C01:
        return 128;
    case EepromKind::C02:
        return 256;
    case EepromKind::C04:
        return 512;
    case EepromKind::C08:
        return 1024;
    case EepromKind::C16:
        return 2048;
    case EepromKind::EDdc:
        return 128 * kEepromChunkSize;
    }
    return 256;
}

Byte blockSelectMask(EepromKind kind) {
    switch (kind) {
    case EepromKind::C04:
        return 0x02;
    case EepromKind::C08:
        return 0x06;
    case EepromKind::C16:
        return 0x0E;
    default:
        return 0x00;
    }
}

EepromLocation eepromLocation(EepromKind kind, Byte baseSlave, std::size_t address) {
    EepromLocation at;
    const std::size_t chunk = address / kEepromChunkSize;
    at.offset = static_cast<Byte>(address % kEepromChunkSize);
    const Byte mask = blockSelectMask(kind);
    at.slave = static_cast<Byte>((baseSlave & 0xFE & ~mask) | ((chunk << 1) & mask));
    if (kind == EepromKind::EDdc && chunk > 0)
        at.segment = static_cast<Byte>(chunk);
    return at;
}

std::string capacityProblem(EepromKind kind, std::size_t imageLength) {
    const std::size_t capacity = eepromCapacity(kind);
    if (imageLength <= capacity)
        return {};
    const std::size_t blocks = (imageLength + 127) / 128;
    return "The image has " + std::to_string(imageLength) + " bytes (" + std::to_string(blocks) +
           (blocks == 1 ? " block" : " blocks") + "); a " + std::string(eepromKindName(kind)) +
           " EEPROM holds " + std::to_string(capacity) +
           ". Choose the sink's EEPROM in the I2C settings (pellam-cli: --eeprom); the image is "
           "not cut to fit. Nothing was written.";
}

} // namespace pellam
