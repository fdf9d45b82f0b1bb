// The USB adapter through libftdi1: channel A of a dual-channel FTDI chip
// (vendor 0403, product 6010) whose USB product string is the adapter's name.
#pragma once

#include "core/ddc/ftdi_device.h"

#include <string>
#include <vector>

struct ftdi_context;

namespace pellam {

// The adapter's USB product string; its driver on other systems appends the
// channel letter (kUsbAdapterDescription), and adapters programmed with
// that full string are accepted too.
inline constexpr const char* kUsbAdapterProduct = "Korvo USB Debug Tool";
inline constexpr int kFtdiVendorId = 0x0403;
inline constexpr int kFt2232ProductId = 0x6010;

class LibFtdiDevice final : public FtdiDevice {
public:
    LibFtdiDevice() = default;
    ~LibFtdiDevice() override;
    LibFtdiDevice(const LibFtdiDevice&) = delete;
    LibFtdiDevice& operator=(const LibFtdiDevice&) = delete;

    int open(const std::string& serial) override;
    int setLatencyTimer(Byte milliseconds) override;
    int setBitMode(Byte mask, Byte mode) override;
    int write(std::span<const Byte> bytes, std::size_t& written) override;
    // libftdi1 has no queue query: the bytes fetched from the chip wait in a
    // local buffer and are counted there; when it is empty, the chip is asked
    // once. read() serves from that buffer.
    int receiveQueue(std::size_t& count) override;
    int read(std::span<Byte> buffer, std::size_t& count) override;
    int close() override;
    std::string openErrorDetail() const override { return m_detail; }

private:
    int fetch();
    void release();

    ftdi_context* m_context = nullptr;
    std::vector<Byte> m_pending;
    std::string m_detail;
};

} // namespace pellam
