#include "core/ddc/port_devices.h"

#include "core/ddc/i2c_settings.h"
#include "core/edid/debug_log.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <set>
#include <sys/ioctl.h>
#include <unistd.h>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define PELLAM_HAVE_DIRECT_IO 1
#endif

namespace pellam {

namespace {

std::string systemReason(int error) {
    return std::strerror(error);
}

// Logs the first failure of each call only: a transfer makes thousands of
// line changes, and one line per call says enough.
class FailureLog {
public:
    void report(const std::string& device, const char* call, int error) {
        if (!m_reported.insert(call).second)
            return;
        debugLog("%s: %s failed: %s", device.c_str(), call, std::strerror(error));
    }

private:
    std::set<std::string> m_reported;
};

class PpdevRegisters final : public ParallelPortRegisters {
public:
    PpdevRegisters(int fd, std::string path)
        : m_fd(fd)
        , m_path(std::move(path)) {}
    ~PpdevRegisters() override {
        ioctl(m_fd, PPRELEASE);
        ::close(m_fd);
        debugLog("ppdev: %s released", m_path.c_str());
    }
    PpdevRegisters(const PpdevRegisters&) = delete;
    PpdevRegisters& operator=(const PpdevRegisters&) = delete;

    void writeData(Byte value) override {
        unsigned char byte = value;
        if (ioctl(m_fd, PPWDATA, &byte) != 0)
            m_failures.report(m_path, "PPWDATA", errno);
    }
    void writeControl(Byte value) override {
        unsigned char byte = value;
        if (ioctl(m_fd, PPWCONTROL, &byte) != 0)
            m_failures.report(m_path, "PPWCONTROL", errno);
    }
    Byte readStatus() override {
        unsigned char byte = 0;
        if (ioctl(m_fd, PPRSTATUS, &byte) != 0) {
            m_failures.report(m_path, "PPRSTATUS", errno);
            return 0x00; // reads as a released (high) line
        }
        return byte;
    }

private:
    int m_fd;
    std::string m_path;
    FailureLog m_failures;
};

#ifdef PELLAM_HAVE_DIRECT_IO
class DirectIoRegisters final : public ParallelPortRegisters {
public:
    explicit DirectIoRegisters(unsigned base)
        : m_base(base) {}
    ~DirectIoRegisters() override { ioperm(m_base, 3, 0); }
    DirectIoRegisters(const DirectIoRegisters&) = delete;
    DirectIoRegisters& operator=(const DirectIoRegisters&) = delete;

    void writeData(Byte value) override { outb(value, static_cast<unsigned short>(m_base)); }
    void writeControl(Byte value) override { outb(value, static_cast<unsigned short>(m_base + 2)); }
    Byte readStatus() override { return inb(static_cast<unsigned short>(m_base + 1)); }

private:
    unsigned m_base;
};
#endif

std::unique_ptr<ParallelPortRegisters> directIo(std::uint32_t baseAddress) {
    const unsigned base = baseAddress & 0xFFFF;
#ifdef PELLAM_HAVE_DIRECT_IO
    if (ioperm(base, 3, 1) != 0) {
        debugLog("direct I/O: ioperm(0x%04X, 3) failed: %s", base, std::strerror(errno));
        return nullptr;
    }
    // Access is granted whether or not a port is there; a port's data
    // register reads back what was written, an empty address reads FFh.
    const auto port = static_cast<unsigned short>(base);
    const Byte saved = inb(port);
    bool answers = true;
    for (const Byte pattern : {Byte{0xAA}, Byte{0x55}}) {
        outb(pattern, port);
        answers = answers && inb(port) == pattern;
    }
    outb(saved, port);
    if (answers) {
        debugLog("direct I/O: access to 0x%04X..0x%04X granted", base, base + 2);
        return std::make_unique<DirectIoRegisters>(base);
    }
    ioperm(base, 3, 0);
    debugLog("direct I/O: no parallel port answers at 0x%04X", base);
#else
    debugLog("direct I/O: not available on this processor (base 0x%04X)", base);
#endif
    return nullptr;
}

class TtyModemLines final : public ModemControlLines {
public:
    TtyModemLines(int fd, std::string path)
        : m_fd(fd)
        , m_path(std::move(path)) {}
    ~TtyModemLines() override { ::close(m_fd); }
    TtyModemLines(const TtyModemLines&) = delete;
    TtyModemLines& operator=(const TtyModemLines&) = delete;

    void setDtr(bool on) override { change(TIOCM_DTR, on); }
    void setRts(bool on) override { change(TIOCM_RTS, on); }
    bool dsrOn() override {
        int bits = 0;
        if (ioctl(m_fd, TIOCMGET, &bits) != 0) {
            m_failures.report(m_path, "TIOCMGET", errno);
            return false; // nothing pulls the line low
        }
        return (bits & TIOCM_DSR) != 0;
    }

private:
    void change(int line, bool on) {
        if (ioctl(m_fd, on ? TIOCMBIS : TIOCMBIC, &line) != 0)
            m_failures.report(m_path, on ? "TIOCMBIS" : "TIOCMBIC", errno);
    }

    int m_fd;
    std::string m_path;
    FailureLog m_failures;
};

} // namespace

LineOpenResult openParallelPort(int index, std::uint32_t baseAddress,
                                const PortDevicePaths& paths) {
    const std::string path = paths.parallelPrefix + std::to_string(index);
    LineOpenResult result;
    debugLog("ppdev: opening %s", path.c_str());
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    int error = 0;
    if (fd >= 0) {
        if (ioctl(fd, PPCLAIM) == 0) {
            int forward = 0; // data lines driven by the port
            if (ioctl(fd, PPDATADIR, &forward) != 0)
                debugLog("ppdev: %s: PPDATADIR failed: %s", path.c_str(), std::strerror(errno));
            debugLog("ppdev: %s claimed", path.c_str());
            result.driver =
                std::make_unique<ParallelPortLines>(std::make_unique<PpdevRegisters>(fd, path));
            return result;
        }
        error = errno;
        ::close(fd);
        debugLog("ppdev: cannot claim %s: %s", path.c_str(), std::strerror(error));
        result.refused = true;
        result.reason = path + ": the port cannot be claimed: " + systemReason(error);
    } else {
        error = errno;
        debugLog("ppdev: cannot open %s: %s", path.c_str(), std::strerror(error));
        if (error == ENOENT || error == ENODEV || error == ENXIO) {
            result.reason = "there is no " + path + " (is the ppdev module loaded?)";
        } else {
            result.refused = true;
            result.reason = path + ": " + systemReason(error);
            if (error == EACCES || error == EPERM)
                result.reason += " (the user must be in the lp group: sudo usermod -aG lp $USER, "
                                 "then log in again)";
        }
    }
    if (paths.allowDirectIo) {
        if (auto registers = directIo(baseAddress)) {
            result.driver = std::make_unique<ParallelPortLines>(std::move(registers));
            result.refused = false;
            result.reason.clear();
        }
    }
    return result;
}

LineOpenResult openSerialDevice(const std::string& path) {
    LineOpenResult result;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        debugLog("serial: cannot open %s: %s", path.c_str(), std::strerror(error));
        result.refused = error != ENOENT && error != ENODEV && error != ENXIO;
        result.reason = path + ": " + systemReason(error);
        return result;
    }
    if (ioctl(fd, TIOCEXCL) != 0) {
        const int error = errno;
        ::close(fd);
        debugLog("serial: %s: TIOCEXCL failed: %s", path.c_str(), std::strerror(error));
        result.refused = true;
        result.reason = path + ": " + systemReason(error);
        return result;
    }
    debugLog("serial: %s opened", path.c_str());
    result.driver = std::make_unique<SerialPortLines>(std::make_unique<TtyModemLines>(fd, path));
    return result;
}

LineOpenResult SystemPortOpener::openParallel(std::int32_t portType, std::uint32_t baseAddress) {
    return openParallelPort(portType - kPortLpt1, baseAddress, m_paths);
}

LineOpenResult SystemPortOpener::openSerial(std::int32_t portType) {
    return openSerialDevice(m_paths.serialPrefix + std::to_string(portType - kPortCom1));
}

} // namespace pellam
