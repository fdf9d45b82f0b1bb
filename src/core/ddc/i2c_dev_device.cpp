#include "core/ddc/i2c_dev_device.h"

#include "core/edid/debug_log.h"

#include <cstring>
#include <fcntl.h>
#include <linux/i2c-dev.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace pellam {

namespace {

class I2cDevAdapter final : public I2cAdapter {
public:
    I2cDevAdapter(int fd, std::string path)
        : m_fd(fd)
        , m_path(std::move(path)) {}
    ~I2cDevAdapter() override { ::close(m_fd); }
    I2cDevAdapter(const I2cDevAdapter&) = delete;
    I2cDevAdapter& operator=(const I2cDevAdapter&) = delete;

    int transfer(std::span<I2cMessage> messages) override {
        if (const int invalid = checkTransaction(messages))
            return invalid;
        std::vector<i2c_msg> msgs = kernelMessages(messages);
        i2c_rdwr_ioctl_data request{};
        request.msgs = msgs.data();
        request.nmsgs = static_cast<__u32>(msgs.size());
        const int done = ioctl(m_fd, I2C_RDWR, &request);
        if (done < 0)
            return errno;
        // The request returns the number of messages carried out.
        if (static_cast<std::size_t>(done) != msgs.size()) {
            debugLog("%s: I2C_RDWR did %d of %zu messages", m_path.c_str(), done, msgs.size());
            return EIO;
        }
        return 0;
    }

private:
    int m_fd;
    std::string m_path;
};

} // namespace

int checkTransaction(std::span<const I2cMessage> messages) {
    if (messages.empty() || messages.size() > kI2cMaxMessages)
        return EINVAL;
    for (const I2cMessage& m : messages)
        if (m.address > 0x7F || m.data.size() > kI2cMaxMessageLength)
            return EINVAL;
    return 0;
}

std::vector<i2c_msg> kernelMessages(std::span<I2cMessage> messages) {
    std::vector<i2c_msg> msgs;
    msgs.reserve(messages.size());
    for (I2cMessage& m : messages) {
        i2c_msg msg{};
        msg.addr = m.address;
        msg.flags = m.read ? I2C_M_RD : 0;
        msg.len = static_cast<__u16>(m.data.size());
        msg.buf = m.data.data();
        msgs.push_back(msg);
    }
    return msgs;
}

I2cAdapterOpenResult SystemI2cBuses::open(const std::string& devicePath) {
    I2cAdapterOpenResult result;
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        result.error = errno;
        debugLog("i2c-dev: cannot open %s: %s", devicePath.c_str(), std::strerror(result.error));
        return result;
    }
    unsigned long functions = 0;
    if (ioctl(fd, I2C_FUNCS, &functions) != 0) {
        result.error = errno;
        debugLog("i2c-dev: %s: I2C_FUNCS failed: %s", devicePath.c_str(),
                 std::strerror(result.error));
        ::close(fd);
        return result;
    }
    if ((functions & I2C_FUNC_I2C) == 0) {
        debugLog("i2c-dev: %s does no plain I2C transfers (functions %08lX)", devicePath.c_str(),
                 functions);
        ::close(fd);
        result.error = EOPNOTSUPP;
        return result;
    }
    debugLog("i2c-dev: %s opened", devicePath.c_str());
    result.adapter = std::make_unique<I2cDevAdapter>(fd, devicePath);
    return result;
}

} // namespace pellam
