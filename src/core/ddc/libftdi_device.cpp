#include "core/ddc/libftdi_device.h"

#include "core/edid/debug_log.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ftdi.h>
#include <libusb.h>
#include <unistd.h>

namespace pellam {

namespace {

constexpr int kNotOpen = -100;
constexpr int kReadTimeoutMs = 500;
constexpr int kWriteTimeoutMs = 1000;

std::string usbNodePath(libusb_device* device) {
    char path[64];
    std::snprintf(path, sizeof path, "/dev/bus/usb/%03u/%03u",
                  static_cast<unsigned>(libusb_get_bus_number(device)),
                  static_cast<unsigned>(libusb_get_device_address(device)));
    return path;
}

bool isAdapterName(const char* product) {
    return std::strcmp(product, kUsbAdapterProduct) == 0 ||
           std::strcmp(product, kUsbAdapterDescription) == 0;
}

} // namespace

LibFtdiDevice::~LibFtdiDevice() {
    close();
}

void LibFtdiDevice::release() {
    if (m_context)
        ftdi_free(m_context);
    m_context = nullptr;
    m_pending.clear();
}

int LibFtdiDevice::open(const std::string& serial) {
    release();
    m_detail.clear();
    m_context = ftdi_new();
    if (!m_context) {
        m_detail = "libftdi1 could not be initialised.";
        return kNotOpen;
    }
    ftdi_set_interface(m_context, INTERFACE_A);
    m_context->usb_read_timeout = kReadTimeoutMs;
    m_context->usb_write_timeout = kWriteTimeoutMs;

    ftdi_device_list* list = nullptr;
    const int found = ftdi_usb_find_all(m_context, &list, kFtdiVendorId, kFt2232ProductId);
    if (found < 0) {
        m_detail = std::string("libftdi1: ") + ftdi_get_error_string(m_context);
        release();
        return found;
    }
    // Every adapter by its product string, with its serial number.
    std::vector<libusb_device*> adapters;
    std::vector<std::string> serials;
    std::string denied;
    std::string failure;
    for (ftdi_device_list* entry = list; entry; entry = entry->next) {
        const std::string node = usbNodePath(entry->dev);
        if (access(node.c_str(), R_OK | W_OK) != 0) {
            debugLog("usb: %s: %s", node.c_str(), std::strerror(errno));
            if (errno == EACCES || errno == EPERM)
                denied = node;
            continue;
        }
        char product[128] = {};
        char number[128] = {};
        const int strings = ftdi_usb_get_strings(m_context, entry->dev, nullptr, 0, product,
                                                 sizeof product, number, sizeof number);
        if (strings < 0) {
            failure = ftdi_get_error_string(m_context);
            debugLog("usb: %s: %s", node.c_str(), failure.c_str());
            continue;
        }
        debugLog("usb: %s is '%s', serial '%s'", node.c_str(), product, number);
        if (!isAdapterName(product))
            continue;
        adapters.push_back(entry->dev);
        serials.emplace_back(number);
    }
    int result = -3; // no such device
    const UsbAdapterChoice choice = chooseUsbAdapter(serials, serial);
    if (choice.index >= 0) {
        result = ftdi_usb_open_dev(m_context, adapters[static_cast<std::size_t>(choice.index)]);
        if (result != 0) {
            failure = ftdi_get_error_string(m_context);
            debugLog("usb: opening the adapter failed: %s", failure.c_str());
        }
    }
    ftdi_list_free(&list);
    if (result == 0)
        return 0;

    if (choice.index < 0 && !serials.empty())
        m_detail = choice.problem;
    else if (!denied.empty())
        m_detail = "No permission to use the USB device " + denied +
                   ": install the udev rule packaging/udev/60-pellam-usb-debug-tool.rules "
                   "(see the README) and plug the adapter in again.";
    else if (!failure.empty())
        m_detail = "libftdi1: " + failure;
    else
        m_detail = choice.problem.empty() ? std::string("No USB adapter '") + kUsbAdapterProduct +
                                                "' (USB 0403:6010) is connected."
                                          : choice.problem + " (USB 0403:6010)";
    release();
    return result != 0 ? result : kNotOpen;
}

int LibFtdiDevice::setLatencyTimer(Byte milliseconds) {
    return m_context ? ftdi_set_latency_timer(m_context, milliseconds) : kNotOpen;
}

int LibFtdiDevice::setBitMode(Byte mask, Byte mode) {
    return m_context ? ftdi_set_bitmode(m_context, mask, mode) : kNotOpen;
}

int LibFtdiDevice::write(std::span<const Byte> bytes, std::size_t& written) {
    written = 0;
    if (!m_context)
        return kNotOpen;
    const int result = ftdi_write_data(m_context, bytes.data(), static_cast<int>(bytes.size()));
    if (result < 0)
        return result;
    written = static_cast<std::size_t>(result);
    return 0;
}

// Asks the chip for one byte: the call returns as soon as a USB packet with
// data arrives (or, without data, when the latency timer has sent an empty
// one). The rest of that packet waits in libftdi1's buffer and is taken
// without another transfer.
int LibFtdiDevice::fetch() {
    if (!m_context)
        return kNotOpen;
    Byte first = 0;
    const int result = ftdi_read_data(m_context, &first, 1);
    if (result <= 0)
        return result;
    m_pending.push_back(first);
    const int buffered = static_cast<int>(m_context->readbuffer_remaining);
    if (buffered > 0) {
        const std::size_t old = m_pending.size();
        m_pending.resize(old + static_cast<std::size_t>(buffered));
        const int got = ftdi_read_data(m_context, m_pending.data() + old, buffered);
        m_pending.resize(old + static_cast<std::size_t>(std::max(got, 0)));
        if (got < 0)
            return got;
    }
    return 0;
}

int LibFtdiDevice::receiveQueue(std::size_t& count) {
    const int result = m_pending.empty() ? fetch() : 0;
    count = m_pending.size();
    return result;
}

int LibFtdiDevice::read(std::span<Byte> buffer, std::size_t& count) {
    int result = 0;
    while (result == 0 && m_pending.size() < buffer.size()) {
        const std::size_t before = m_pending.size();
        result = fetch();
        if (m_pending.size() == before)
            break; // nothing more came
    }
    count = std::min(buffer.size(), m_pending.size());
    std::copy_n(m_pending.begin(), count, buffer.begin());
    m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(count));
    return result;
}

int LibFtdiDevice::close() {
    if (!m_context)
        return kNotOpen;
    const int result = ftdi_usb_close(m_context);
    release();
    return result;
}

} // namespace pellam
