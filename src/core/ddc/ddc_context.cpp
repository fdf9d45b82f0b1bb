#include "core/ddc/ddc_context.h"

#include "core/ddc/i2c_dev_device.h"
#include "core/ddc/libftdi_device.h"
#include "core/ddc/port_devices.h"

#include <cerrno>
#include <cstdlib>

namespace pellam {

namespace {

class SystemHardware final : public DdcHardware {
public:
    DdcClock& clock() override { return m_clock; }
    PortOpener& ports() override { return m_ports; }
    FtdiDevice& usbAdapter() override { return m_adapter; }
    I2cBusAccess& i2cBuses() override { return m_i2cBuses; }

private:
    SteadyDdcClock m_clock;
    SystemPortOpener m_ports;
    LibFtdiDevice m_adapter;
    SystemI2cBuses m_i2cBuses;
};

} // namespace

std::unique_ptr<DdcHardware> makeSystemHardware() {
    return std::make_unique<SystemHardware>();
}

SimulatedHardware::SimulatedHardware() = default;

LineOpenResult SimulatedHardware::openParallel(std::int32_t portType, std::uint32_t) {
    LineOpenResult result;
    if (!hasParallelPorts) {
        result.reason = "there is no simulated " + std::string(portName(portType));
        return result;
    }
    result.driver =
        std::make_unique<ParallelPortLines>(std::make_unique<SimulatedParallelPort>(bus));
    return result;
}

LineOpenResult SimulatedHardware::openSerial(std::int32_t portType) {
    LineOpenResult result;
    if (!hasSerialPorts) {
        result.reason = "there is no simulated " + std::string(portName(portType));
        return result;
    }
    result.driver = std::make_unique<SerialPortLines>(std::make_unique<SimulatedModemLines>(bus));
    return result;
}

std::string applySimulatedFaults(SimulatedHardware& hardware, const std::string& list) {
    std::size_t from = 0;
    while (from <= list.size()) {
        std::size_t to = list.find(',', from);
        if (to == std::string::npos)
            to = list.size();
        const std::string item = list.substr(from, to - from);
        from = to + 1;
        if (item.empty())
            continue;
        const std::size_t equals = item.find('=');
        const std::string name = item.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : item.substr(equals + 1);
        const auto number = [&]() -> long long {
            char* end = nullptr;
            const long long n = std::strtoll(value.c_str(), &end, 0);
            return end && *end == '\0' && !value.empty() ? n : -1;
        };
        if (name == "write-protect") {
            hardware.eeprom.writeProtected = true;
        } else if (name == "write-cycle-us" && number() >= 0) {
            hardware.eeprom.writeCycleUs = static_cast<std::uint32_t>(number());
        } else if (name == "stuck-sda") {
            hardware.bus.setStuck(true, false);
        } else if (name == "stuck-scl") {
            hardware.bus.setStuck(false, true);
        } else if (name == "gone-after" && number() >= 0) {
            hardware.eeprom.answersLeft = number();
        } else if (name == "weak-cell" && number() >= 0) {
            hardware.eeprom.weakCell = static_cast<std::size_t>(number());
            hardware.eeprom.weakBits = 0x10;
        } else if (name == "segment-kept") {
            hardware.eeprom.segmentResetByStop = false;
        } else if (name == "unplug-at-write" && number() > 0) {
            hardware.ft2232.unplugAtWrite(static_cast<int>(number()));
        } else if (name == "lose-answers" && number() > 0) {
            hardware.ft2232.loseAnswers(static_cast<std::size_t>(number()));
        } else if (name == "i2c-error") {
            const std::size_t at = value.find('@');
            const std::string code = value.substr(0, at);
            const int error = code == "ENODEV"      ? ENODEV
                              : code == "ETIMEDOUT" ? ETIMEDOUT
                              : code == "EIO"       ? EIO
                                                    : 0;
            if (error == 0)
                return item;
            hardware.ddcBuses.transferError = error;
            hardware.ddcBuses.failFrom =
                at == std::string::npos ? 0 : std::strtoul(value.c_str() + at + 1, nullptr, 10);
        } else {
            return item;
        }
    }
    return {};
}

DdcContext::DdcContext(std::unique_ptr<DdcHardware> hardware)
    : m_hardware(std::move(hardware))
    , m_port(m_settings, m_hardware->clock())
    , m_usb(m_hardware->usbAdapter(), m_hardware->clock())
    , m_i2cDev(m_settings, m_hardware->i2cBuses()) {}

} // namespace pellam
