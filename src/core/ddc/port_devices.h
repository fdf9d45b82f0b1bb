// The PC ports on Linux: parallel ports through the kernel's ppdev interface
// (/dev/parportN), or through direct register access (ioperm, x86 only) when
// ppdev is not there; serial ports' modem lines through termios ioctls
// (/dev/ttySN). Nothing is opened until a function here is called.
#pragma once

#include "core/ddc/line_driver.h"

#include <string>

namespace pellam {

struct PortDevicePaths {
    std::string parallelPrefix = "/dev/parport"; // + 0 for LPT1, 1 for LPT2
    std::string serialPrefix = "/dev/ttyS";      // + 0 for COM1 .. 7 for COM8
    // Fall back on ioperm when ppdev cannot be used (x86, needs CAP_SYS_RAWIO).
    bool allowDirectIo = true;
};

// Claims /dev/parport<index> (PPCLAIM, released when the driver goes). When
// there is no such device, or it may not be used, tries direct I/O at the
// base address. Every step goes to the debug log.
LineOpenResult openParallelPort(int index, std::uint32_t baseAddress,
                                const PortDevicePaths& paths = {});

// Opens a serial device read-write, without becoming its controlling
// terminal, for this process alone (TIOCEXCL).
LineOpenResult openSerialDevice(const std::string& path);

// The system's ports.
class SystemPortOpener final : public PortOpener {
public:
    explicit SystemPortOpener(PortDevicePaths paths = {})
        : m_paths(std::move(paths)) {}
    LineOpenResult openParallel(std::int32_t portType, std::uint32_t baseAddress) override;
    LineOpenResult openSerial(std::int32_t portType) override;

private:
    PortDevicePaths m_paths;
};

} // namespace pellam
