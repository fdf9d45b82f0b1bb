#include "core/ddc/i2c_dev_transport.h"

#include "core/edid/debug_log.h"
#include "core/edid/hex.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

namespace pellam {

namespace {

std::string busOf(const std::string& devicePath, const std::string& connector) {
    return devicePath + " (the DDC bus of " + connector + ")";
}

} // namespace

std::string i2cDevOpenProblem(const std::string& devicePath, const std::string& connector,
                              int error) {
    const std::string bus = busOf(devicePath, connector);
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return bus + " does not exist: the i2c-dev module is not loaded. Load it with "
                     "\"sudo modprobe i2c-dev\" (to load it at every start, install Pellam's "
                     "modules-load.d file pellam-i2c-dev.conf).";
    case EACCES:
    case EPERM:
        return "No permission to use " + bus +
               ". Install Pellam's udev rule 60-pellam-i2c.rules, which gives the user at the "
               "seat the graphics cards' I2C buses, and load i2c-dev again (or restart); or add "
               "yourself to the i2c group where the system has one (\"sudo usermod -aG i2c "
               "$USER\", then log in again).";
    case EOPNOTSUPP:
        return bus + " cannot be used: its controller does no plain I2C transfers.";
    default:
        return bus + " could not be opened: " + std::strerror(error) + ".";
    }
}

bool looksLikeEdid(std::span<const Byte> bytes) {
    static constexpr std::array<Byte, 8> kHeader = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    return bytes.size() >= kHeader.size() &&
           std::equal(kHeader.begin(), kHeader.end(), bytes.begin());
}

bool I2cDevTransport::fail(int error, std::string message) {
    m_status = error;
    m_problem = std::move(message);
    return false;
}

bool I2cDevTransport::succeed() {
    m_status = 0;
    m_problem.clear();
    return true;
}

std::string I2cDevTransport::deviceText() const {
    return m_devicePath + " (" + m_connector + ")";
}

bool I2cDevTransport::Open() {
    Close();
    const std::string& name = m_settings.ddcConnector;
    if (name.empty())
        return fail(ENODEV, "No display connector is chosen for the DDC port: choose one under "
                            "\"配置 > I2C 设置\".");
    const std::optional<DrmConnector> connector = findDrmConnector(name, m_buses.sysfsRoot());
    if (!connector)
        return fail(ENODEV, "There is no display connector " + name + " on this computer.");
    // The device path comes only from the connector's own link: a bus no
    // connector links is never opened.
    if (!connector->hasBus())
        return fail(ENODEV, "The display connector " + name +
                                " has no DDC bus of its own; Pellam uses no other I2C bus.");
    I2cAdapterOpenResult opened = m_buses.open(connector->devicePath);
    if (!opened.adapter) {
        const int error = opened.error != 0 ? opened.error : EIO;
        return fail(error, i2cDevOpenProblem(connector->devicePath, name, error));
    }
    m_adapter = std::move(opened.adapter);
    m_devicePath = connector->devicePath;
    m_connector = name;
    return succeed();
}

void I2cDevTransport::Close() {
    m_adapter.reset();
    m_devicePath.clear();
    m_connector.clear();
}

bool I2cDevTransport::transfer(std::span<I2cMessage> messages, bool reading) {
    if (!m_adapter)
        return fail(EBADF, "The DDC bus is not open.");
    const int error = m_adapter->transfer(messages);
    if (error == 0)
        return succeed();
    const std::string slave = hexByteH(static_cast<unsigned>(messages.front().address) << 1);
    debugLog("i2c-dev: %s: %s at %s: %s", m_devicePath.c_str(), reading ? "read" : "write",
             slave.c_str(), std::strerror(error));
    if (isNoAcknowledge(error))
        return fail(error, "No acknowledge from the sink at slave address " + slave + " on " +
                               deviceText() + ".");
    return fail(error, std::string(reading ? "Reading " : "Writing ") + deviceText() +
                           " failed: " + std::strerror(error) + ".");
}

bool I2cDevTransport::Read(std::span<const Byte> address, std::span<Byte> destination) {
    if (destination.empty())
        return succeed();
    const auto slave = static_cast<std::uint16_t>((m_settings.slaveAddress & 0xFE) >> 1);
    std::vector<Byte> subAddress(address.begin(), address.end());
    std::array<I2cMessage, 2> messages{};
    std::size_t count = 0;
    if (!subAddress.empty())
        messages[count++] = {slave, false, subAddress};
    messages[count++] = {slave, true, destination};
    if (transfer(std::span(messages).first(count), true))
        return true;
    std::fill(destination.begin(), destination.end(), Byte{0xFF});
    return false;
}

bool I2cDevTransport::Write(std::span<const Byte> address, std::span<const Byte> source) {
    const Byte slave = static_cast<Byte>(m_settings.slaveAddress & 0xFE);
    if (slave != kEdidEepromAddress)
        return fail(
            EPERM, "Pellam writes only the EDID EEPROM at slave address A0h; the write at " +
                       hexByteH(slave) + (m_adapter ? " on " + deviceText() : "") + " was refused.");
    if (address.size() != 1)
        return fail(EINVAL, "The EDID EEPROM takes a one-byte address; the write was refused.");
    const std::size_t offset = address[0] % kPageSize;
    if (source.size() > 1 && offset + source.size() > kPageSize)
        return fail(EINVAL, "A write of " + std::to_string(source.size()) + " bytes at " +
                                hexByteH(address[0]) +
                                " would cross an 8-byte EEPROM page; it was refused.");
    std::vector<Byte> bytes;
    bytes.reserve(1 + source.size());
    bytes.push_back(address[0]);
    bytes.insert(bytes.end(), source.begin(), source.end());
    I2cMessage message{static_cast<std::uint16_t>(slave >> 1), false, bytes};
    return transfer(std::span(&message, 1), false);
}

bool I2cDevTransport::WritePage(Byte pageAddress, std::span<const Byte, kPageSize> bytes) {
    if (pageAddress % kPageSize != 0)
        return fail(EINVAL, "A page write must start at a multiple of 8, not at " +
                                hexByteH(pageAddress) + "; it was refused.");
    const Byte address[] = {pageAddress};
    return Write(address, bytes);
}

bool I2cDevTransport::PollAck() {
    if (!m_adapter)
        return fail(EBADF, "The DDC bus is not open.");
    Byte scratch[1];
    I2cMessage message{static_cast<std::uint16_t>((m_settings.slaveAddress & 0xFE) >> 1), true,
                       scratch};
    const int error = m_adapter->transfer(std::span(&message, 1));
    if (error == 0)
        return succeed();
    // Every failure counts as "not yet": some controllers report a missing
    // acknowledge as EIO. The caller's bound ends the polling.
    return fail(error, "The sink at slave address " + hexByteH(message.address << 1u) + " on " +
                           deviceText() + " did not answer after a write (" + std::strerror(error) +
                           ").");
}

} // namespace pellam
