#include "core/ddc/i2c_settings.h"

#include "core/edid/debug_log.h"

#include <cstdio>

namespace pellam {

namespace {

constexpr std::uint32_t kMinUsbClockKHz = 1;
constexpr std::uint32_t kMaxUsbClockKHz = 6000;

} // namespace

std::string_view portName(std::int32_t portType) {
    if (portType < 0 || portType >= static_cast<std::int32_t>(kPortNames.size()))
        return {};
    return kPortNames[static_cast<std::size_t>(portType)];
}

std::array<StoredValue, 4> storedValues(const I2cSettings& settings) {
    return {{
        {kPortTypeValueName, static_cast<std::uint32_t>(settings.portType), true},
        {kBaseAddressValueName, settings.baseAddress, false},
        {kSlaveAddressValueName, settings.slaveAddress, false},
        {kDelayCountValueName, settings.delayCount, false},
    }};
}

I2cSettings loadI2cSettings(const DwordReader& read) {
    const auto readOr = [&](std::string_view name, std::uint32_t fallback) {
        const DwordRead result = read(name);
        if (result.value)
            return *result.value;
        debugLog("err=%08X", result.errorCode);
        return fallback;
    };
    I2cSettings settings;
    settings.portType = static_cast<std::int32_t>(
        readOr(kPortTypeValueName, static_cast<std::uint32_t>(kPortLpt1)));
    settings.baseAddress = readOr(kBaseAddressValueName, kDefaultBaseAddress);
    settings.slaveAddress = readOr(kSlaveAddressValueName, kDefaultSlaveAddress);
    settings.delayCount = readOr(kDelayCountValueName, defaultDelayCount(settings.portType));
    if (settings.portType == kPortUsb)
        usbClockKHz(settings);
    return settings;
}

std::uint32_t usbClockKHz(I2cSettings& settings) {
    const std::uint32_t clock = settings.delayCount / 25;
    if (clock >= kMinUsbClockKHz && clock <= kMaxUsbClockKHz)
        return clock;
    debugLog("USB delay count %u gives no bus clock; using %u", settings.delayCount,
             kDefaultUsbDelayCount);
    settings.delayCount = kDefaultUsbDelayCount;
    return kDefaultUsbDelayCount / 25;
}

std::string portReportLine(std::uint32_t baseAddress) {
    char line[64];
    const unsigned base = baseAddress & 0xFFFF;
    std::snprintf(line, sizeof line, "DO=0x%04X, CO=0x%04X, DI=0x%04X, CI=0x%04X", base,
                  (base + 2) & 0xFFFF, (base + 1) & 0xFFFF, (base + 1) & 0xFFFF);
    return line;
}

} // namespace pellam
