// Everything a DDC transfer needs for the run: the I2C settings, the port
// transport (parallel or serial, opened at start-up), the USB transport and
// the i2c-dev transport of the DDC port type (both opened for each
// transfer), on real or simulated hardware. Constructing it touches no
// device.
#pragma once

#include "core/ddc/ddc_clock.h"
#include "core/ddc/ftdi_device.h"
#include "core/ddc/i2c_adapter.h"
#include "core/ddc/i2c_dev_transport.h"
#include "core/ddc/i2c_settings.h"
#include "core/ddc/line_driver.h"
#include "core/ddc/mpsse_transport.h"
#include "core/ddc/port_transport.h"
#include "core/ddc/simulated_devices.h"
#include "core/ddc/simulated_eeprom.h"
#include "core/ddc/user_notice.h"

#include <memory>

namespace pellam {

// The hardware the transports reach: a clock, the ports, the USB adapter,
// the graphics cards' I2C buses.
class DdcHardware {
public:
    virtual ~DdcHardware() = default;
    virtual DdcClock& clock() = 0;
    virtual PortOpener& ports() = 0;
    virtual FtdiDevice& usbAdapter() = 0;
    virtual I2cBusAccess& i2cBuses() = 0;
};

// The machine's own ports and adapter (ppdev or direct I/O, termios, libftdi1)
// and its I2C buses (/sys, i2c-dev).
std::unique_ptr<DdcHardware> makeSystemHardware();

// A sink's EEPROM behind simulated ports, a simulated USB adapter and a
// simulated i2c-dev bus, all on one bus, in simulated time. The EEPROM starts
// blank (all FFh). The i2c-dev bus opens whichever device a connector of
// ddcBuses.sysRoot names (tests point it at a fake sysfs tree).
class SimulatedHardware final : public DdcHardware, private PortOpener {
public:
    SimulatedHardware();

    DdcClock& clock() override { return simulatedClock; }
    PortOpener& ports() override { return *this; }
    FtdiDevice& usbAdapter() override { return ft2232; }
    I2cBusAccess& i2cBuses() override { return ddcBuses; }

    SimulatedClock simulatedClock;
    SimulatedEeprom eeprom{simulatedClock};
    SimulatedI2cBus bus{eeprom};
    SimulatedFt2232 ft2232{bus, &simulatedClock};
    SimulatedI2cDevBuses ddcBuses{eeprom, simulatedClock};
    // Ports that exist; a missing one opens as absent, as on a machine
    // without it.
    bool hasParallelPorts = true;
    bool hasSerialPorts = true;

private:
    LineOpenResult openParallel(std::int32_t portType, std::uint32_t baseAddress) override;
    LineOpenResult openSerial(std::int32_t portType) override;
};

// Switches on the faults a comma-separated list names, for --simulate and
// the tests: write-protect, write-cycle-us=N, stuck-sda, stuck-scl,
// gone-after=N (the sink stops answering after N bytes), weak-cell=A
// (a cell at address A that loses bit 4), segment-kept (the E-DDC segment
// pointer survives a stop), unplug-at-write=N (the USB adapter goes at its
// N-th write), lose-answers=N (its next N answers are lost),
// i2c-error=ENODEV|ETIMEDOUT|EIO[@N] (the DDC bus fails from its N-th
// transaction on). Empty when every item was known; else the unknown one.
std::string applySimulatedFaults(SimulatedHardware& hardware, const std::string& list);

class DdcContext {
public:
    explicit DdcContext(std::unique_ptr<DdcHardware> hardware = makeSystemHardware());

    I2cSettings& settings() { return m_settings; }
    const I2cSettings& settings() const { return m_settings; }
    PortTransport& port() { return m_port; }
    MpsseTransport& usb() { return m_usb; }
    // The DDC port type's transport.
    I2cDevTransport& i2cDev() { return m_i2cDev; }
    DdcClock& clock() { return m_hardware->clock(); }
    // Where the display connectors are listed ("/sys" on the machine).
    std::filesystem::path sysfsRoot() const { return m_hardware->i2cBuses().sysfsRoot(); }
    DdcHardware& hardware() { return *m_hardware; }

    // Start-up, after the settings are loaded: opens the port of the chosen
    // port type (parallel or serial) for the run. Messages for the user go
    // to notify.
    void openPort(const NoticeSink& notify) { m_port.open(m_hardware->ports(), notify); }

    // Set while a transfer (eeprom_transfer.h) holds the transports, so that
    // a second one started from a nested event cannot interleave with it.
    bool transferActive() const { return m_transferActive; }
    void setTransferActive(bool active) { m_transferActive = active; }

private:
    std::unique_ptr<DdcHardware> m_hardware;
    I2cSettings m_settings;
    PortTransport m_port;
    MpsseTransport m_usb;
    I2cDevTransport m_i2cDev;
    bool m_transferActive = false;
};

} // namespace pellam
