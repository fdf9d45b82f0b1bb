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
               ". Give the I2C buses to the i2c group (Debian's i2c-tools package does so) and "
               "add yourself to it (\"sudo usermod -aG i2c $USER\", then log in again); see "
               "the README.";
    case EOPNOTSUPP:
        return bus + " cannot be used: its controller does no plain I2C transfers.";
    default:
        return bus + " could not be opened: " + std::strerror(error) + ".";
    }
}

std::string i2cDevTransferProblem(const std::string& deviceText, const std::string& slave,
                                  int error, bool reading) {
    const std::string what = reading ? "A read" : "A write";
    switch (error) {
    case ENXIO:
    case EREMOTEIO:
        return "No acknowledge from the sink at slave address " + slave + " on " + deviceText +
               ".";
    case ENODEV:
        return deviceText + " went away during the transfer (ENODEV): the graphics driver "
                            "removed the bus (the display was unplugged, or the driver unbound "
                            "or suspended the card).";
    case ETIMEDOUT:
        return what + " at slave address " + slave + " on " + deviceText +
               " timed out in the graphics driver's controller (ETIMEDOUT): the bus did not "
               "come free, a line may be held low.";
    case EIO:
        return "The I2C controller of " + deviceText + " reported an I/O error (EIO) during " +
               (reading ? "a read" : "a write") + " at slave address " + slave +
               ": the bus or the controller failed.";
    default:
        return what + " at slave address " + slave + " on " + deviceText + " failed: " +
               std::strerror(error) + ".";
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
    if (name.empty()) {
        const std::vector<DrmConnector> all = listDrmConnectors(m_buses.sysfsRoot());
        const bool any = std::any_of(all.begin(), all.end(),
                                     [](const DrmConnector& c) { return c.hasBus(); });
        if (!any)
            return fail(ENODEV, "This computer has no display connector with a DDC bus of its "
                                "own: the DDC port type cannot be used here.");
        return fail(ENODEV, "No display connector is chosen for the DDC port: choose one under "
                            "\"配置 > I2C 设置\".");
    }
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
    m_internalPanel = isInternalPanel(name);
    return succeed();
}

std::string I2cDevTransport::internalPanelRefusal() const {
    return m_connector + " is an internal panel (eDP, LVDS or DSI): its EDID belongs to the "
                         "panel, and its bus may be the panel's own. Pellam reads it but never "
                         "writes it. Nothing was written.";
}

std::string I2cDevTransport::writeScopeProblem(Byte slave) const {
    const Byte mask = blockSelectMask(m_settings.eepromKind());
    if ((slave & ~mask) == kEdidEepromAddress)
        return {};
    return "Pellam writes only the EDID EEPROM at slave address A0h" +
           std::string(mask ? " (and its block addresses)" : "") + "; the write at " +
           hexByteH(slave) + (m_adapter ? " on " + deviceText() : "") + " was refused.";
}

void I2cDevTransport::Close() {
    m_adapter.reset();
    m_internalPanel = false;
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
    return fail(error, i2cDevTransferProblem(deviceText(), slave, error, reading));
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

bool I2cDevTransport::Read(const EepromLocation& at, std::span<Byte> destination) {
    if (destination.empty())
        return succeed();
    Byte segment[] = {at.segment.value_or(0)};
    Byte offset[] = {at.offset};
    const auto slave = static_cast<std::uint16_t>((at.slave & 0xFE) >> 1);
    std::array<I2cMessage, 3> messages{};
    std::size_t count = 0;
    if (at.segment)
        messages[count++] = {kSegmentPointerAddress >> 1, false, segment};
    messages[count++] = {slave, false, offset};
    messages[count++] = {slave, true, destination};
    if (transfer(std::span(messages).first(count), true))
        return true;
    std::fill(destination.begin(), destination.end(), Byte{0xFF});
    return false;
}

bool I2cDevTransport::Write(std::span<const Byte> address, std::span<const Byte> source) {
    if (address.size() != 1)
        return fail(EINVAL, "The EDID EEPROM takes a one-byte address; the write was refused.");
    return Write(EepromLocation{static_cast<Byte>(m_settings.slaveAddress & 0xFE), std::nullopt,
                                address[0]},
                 source);
}

bool I2cDevTransport::Write(const EepromLocation& at, std::span<const Byte> source) {
    const Byte slave = static_cast<Byte>(at.slave & 0xFE);
    if (const std::string scope = writeScopeProblem(slave); !scope.empty())
        return fail(EPERM, scope);
    if (m_internalPanel)
        return fail(EPERM, internalPanelRefusal());
    if (at.segment && m_settings.eepromKind() != EepromKind::EDdc)
        return fail(EINVAL, "A segment is written only to an E-DDC sink; the write was refused.");
    const std::size_t offset = at.offset % kPageSize;
    if (source.size() > 1 && offset + source.size() > kPageSize)
        return fail(EINVAL, "A write of " + std::to_string(source.size()) + " bytes at " +
                                hexByteH(at.offset) +
                                " would cross an 8-byte EEPROM page; it was refused.");
    std::vector<Byte> bytes;
    bytes.reserve(1 + source.size());
    bytes.push_back(at.offset);
    bytes.insert(bytes.end(), source.begin(), source.end());
    Byte segment[] = {at.segment.value_or(0)};
    std::array<I2cMessage, 2> messages{};
    std::size_t count = 0;
    if (at.segment)
        messages[count++] = {kSegmentPointerAddress >> 1, false, segment};
    messages[count++] = {static_cast<std::uint16_t>(slave >> 1), false, bytes};
    return transfer(std::span(messages).first(count), false);
}

bool I2cDevTransport::WritePage(Byte pageAddress, std::span<const Byte> bytes) {
    return WritePage(EepromLocation{static_cast<Byte>(m_settings.slaveAddress & 0xFE),
                                    std::nullopt, pageAddress},
                     bytes);
}

bool I2cDevTransport::WritePage(const EepromLocation& at, std::span<const Byte> bytes) {
    if (at.offset % kPageSize != 0 || bytes.size() > kPageSize)
        return fail(EINVAL, "A page write must start at a multiple of 8 and hold at most 8 "
                            "bytes, not " +
                                std::to_string(bytes.size()) + " at " + hexByteH(at.offset) +
                                "; it was refused.");
    return Write(at, bytes);
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
    // A missing acknowledge means "not yet" (the caller's bound ends the
    // polling); any other error is the bus's or the controller's own and
    // ends it at once (noAcknowledge() tells them apart).
    if (isNoAcknowledge(error))
        return fail(error, "The sink at slave address " + hexByteH(message.address << 1u) +
                               " on " + deviceText() + " did not answer after a write.");
    return fail(error, i2cDevTransferProblem(deviceText(), hexByteH(message.address << 1u), error,
                                             true));
}

} // namespace pellam
