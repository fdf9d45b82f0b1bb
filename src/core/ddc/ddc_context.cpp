#include "core/ddc/ddc_context.h"

#include "core/ddc/i2c_dev_device.h"
#include "core/ddc/libftdi_device.h"
#include "core/ddc/port_devices.h"

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

DdcContext::DdcContext(std::unique_ptr<DdcHardware> hardware)
    : m_hardware(std::move(hardware))
    , m_port(m_settings, m_hardware->clock())
    , m_usb(m_hardware->usbAdapter(), m_hardware->clock())
    , m_i2cDev(m_settings, m_hardware->i2cBuses()) {}

} // namespace pellam
