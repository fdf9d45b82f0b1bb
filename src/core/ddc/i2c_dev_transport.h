// The DDC port type: the sink's EDID EEPROM reached through the graphics
// card's own DDC lines, the I2C bus a DRM connector links (/dev/i2c-N from the
// i2c-dev module), in I2C_RDWR transactions. The bus is found from the
// connector's name at each Open, because bus numbers change between boots,
// and only a bus a connector links is ever opened: the machine's other I2C
// buses (the memory modules' SMBus) hold EEPROMs at the same address, which
// a write would ruin.
#pragma once

#include "core/ddc/drm_connectors.h"
#include "core/ddc/i2c_adapter.h"
#include "core/ddc/i2c_settings.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace pellam {

class I2cDevTransport {
public:
    // The EEPROM's page: a multi-byte write rolls over within it.
    static constexpr std::size_t kPageSize = 8;
    // The EEPROM does not answer its address during its write cycle; wait
    // this long after a write before the next transfer.
    static constexpr std::uint32_t kWriteCycleMs = 5;
    // The only slave address ever written: the EDID EEPROM (VESA E-DDC).
    static constexpr Byte kEdidEepromAddress = 0xA0;

    I2cDevTransport(const I2cSettings& settings, I2cBusAccess& buses)
        : m_settings(settings)
        , m_buses(buses) {}

    // Finds the bus of the connector named in the settings and opens its
    // device. false: problem() says what is missing or refused (no
    // connector chosen, no such connector, no DDC bus, no permission, no
    // i2c-dev) and status() holds the errno value.
    bool Open();
    void Close();
    bool isOpen() const { return m_adapter != nullptr; }

    // Sequential read in one transaction: the sub-address written, then
    // destination.size() bytes read after a repeated start. The slave
    // address is the settings' at each call. false: the sink did not
    // acknowledge or the transfer failed (problem() says which); the
    // destination then holds FFh, what an undriven bus reads.
    bool Read(std::span<const Byte> address, std::span<Byte> destination);
    // The same at a location, in one I2C_RDWR transaction: for an E-DDC
    // segment the segment pointer's write first, then the offset's write,
    // then the read, joined by repeated starts.
    bool Read(const EepromLocation& at, std::span<Byte> destination);
    // Write of the source bytes at a one-byte sub-address, in one message.
    // Refused (nothing sent) at any slave address but A0h (and the block
    // addresses of the EEPROM kind chosen), on an internal panel's
    // connector, and when the bytes would cross an 8-byte page (the EEPROM
    // would wrap them onto the page's start). The caller waits kWriteCycleMs
    // before the next transfer.
    bool Write(std::span<const Byte> address, std::span<const Byte> source);
    // The same at a location: for an E-DDC segment the segment pointer's
    // write and the data's in one transaction.
    bool Write(const EepromLocation& at, std::span<const Byte> source);
    // One page write: up to 8 bytes at an address that is a multiple of 8.
    bool WritePage(Byte pageAddress, std::span<const Byte> bytes);
    bool WritePage(const EepromLocation& at, std::span<const Byte> bytes);
    // One acknowledge poll: a one-byte read at the slave address in its own
    // transaction (a zero-length message is the classic poll, but not every
    // graphics driver's controller carries one). true when the sink
    // answered, that is when the EEPROM's write cycle is over. A sink that
    // does not answer yet is not logged.
    bool PollAck();

    // errno value of the last call that failed (0 after a success); ENODEV
    // for a connector without a usable bus, EPERM for a refused write,
    // EINVAL for a write across a page, EBADF when the bus is not open.
    int status() const { return m_status; }
    // The message for the user about the last failure, naming the device
    // and the reason; empty after a success.
    const std::string& problem() const { return m_problem; }
    // The last call failed because the sink did not acknowledge.
    bool noAcknowledge() const { return isNoAcknowledge(m_status); }
    // The connector opened is an internal panel's (eDP, LVDS, DSI): it is
    // read, never written.
    bool internalPanel() const { return m_internalPanel; }
    // The refusal of any write to an internal panel, for the user.
    std::string internalPanelRefusal() const;
    // The bus opened ("/dev/i2c-5") and its connector, empty when closed.
    const std::string& devicePath() const { return m_devicePath; }
    const std::string& connectorName() const { return m_connector; }

private:
    bool fail(int error, std::string message);
    bool succeed();
    std::string deviceText() const;
    bool transfer(std::span<I2cMessage> messages, bool reading);
    // The slave addresses a write may go to: A0h and the EEPROM's block
    // addresses. Empty when the slave is one; else the refusal.
    std::string writeScopeProblem(Byte slave) const;

    const I2cSettings& m_settings;
    I2cBusAccess& m_buses;
    std::unique_ptr<I2cAdapter> m_adapter;
    std::string m_devicePath;
    std::string m_connector;
    int m_status = 0;
    std::string m_problem;
    bool m_internalPanel = false;
};

// The user's message for a transfer that failed with that errno value:
// a missing acknowledge, the bus gone (ENODEV), a timeout (ETIMEDOUT), the
// controller's I/O error (EIO) and others each in their own words, naming
// the device.
std::string i2cDevTransferProblem(const std::string& deviceText, const std::string& slave,
                                  int error, bool reading);

// The user's message for a bus that could not be opened: the device, its
// connector and what to do (ENOENT: load i2c-dev; EACCES or EPERM: the i2c
// group or Pellam's udev rule).
std::string i2cDevOpenProblem(const std::string& devicePath, const std::string& connector,
                              int error);

// The bytes start with the EDID header (00 FF FF FF FF FF FF 00). A sink's
// content that does not is most likely no EDID EEPROM at all, and is not
// overwritten without the user's word.
bool looksLikeEdid(std::span<const Byte> bytes);

} // namespace pellam
