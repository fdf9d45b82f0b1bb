// The kernel's I2C buses as i2c-dev offers them (/dev/i2c-N), driven with
// the I2C_RDWR request. Nothing is opened until open() is called.
#pragma once

#include "core/ddc/i2c_adapter.h"

#include <linux/i2c.h>
#include <vector>

namespace pellam {

class SystemI2cBuses final : public I2cBusAccess {
public:
    std::filesystem::path sysfsRoot() const override { return "/sys"; }
    // Opens the device read-write and checks that its controller does plain
    // I2C transfers (I2C_FUNCS has I2C_FUNC_I2C; an SMBus-only controller
    // cannot do a combined read).
    I2cAdapterOpenResult open(const std::string& devicePath) override;
};

// The messages as struct i2c_msg for I2C_RDWR: the 7-bit address, I2C_M_RD
// for a read, the length and the caller's buffer.
std::vector<i2c_msg> kernelMessages(std::span<I2cMessage> messages);

// EINVAL when a transaction exceeds what one I2C_RDWR request carries
// (kI2cMaxMessages messages of at most kI2cMaxMessageLength bytes, 7-bit
// addresses) or has no message; otherwise 0.
int checkTransaction(std::span<const I2cMessage> messages);

} // namespace pellam
