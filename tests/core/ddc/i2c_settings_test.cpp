#include "core/ddc/i2c_settings.h"
#include "core/ddc/ddc_test_support.h"

#include <map>

#include <gtest/gtest.h>

namespace pellam::test {
namespace {

DwordReader readerOf(std::map<std::string, std::uint32_t> stored) {
    return [stored = std::move(stored)](std::string_view name) {
        const auto it = stored.find(std::string(name));
        if (it == stored.end())
            return DwordRead{std::nullopt, kErrorValueMissing};
        return DwordRead{it->second, 0};
    };
}

TEST(I2cSettings, MissingValuesTakeTheirDefaultsAndAreLogged) {
    struct Case {
        std::map<std::string, std::uint32_t> stored;
        I2cSettings expected;
        std::size_t errLines;
    };
    const std::string type(kPortTypeValueName);
    const std::string delay(kDelayCountValueName);
    const Case cases[] = {
        {{}, {kPortLpt1, 0x378, 0xA0, 500}, 4},
        {{{type, 2}}, {kPortUsb, 0x378, 0xA0, 2400}, 3},
        {{{type, 5}}, {5, 0x378, 0xA0, 500}, 3},
        {{{type, 0xFFFFFFFF}}, {kPortNone, 0x378, 0xA0, 500}, 3},
        {{{type, 1},
          {std::string(kBaseAddressValueName), 0x278},
          {std::string(kSlaveAddressValueName), 0xA2},
          {delay, 3700}},
         {kPortLpt2, 0x278, 0xA2, 3700},
         0},
    };
    for (const Case& c : cases) {
        DebugLogCapture log;
        EXPECT_EQ(loadI2cSettings(readerOf(c.stored)), c.expected);
        EXPECT_EQ(log.lines, std::vector<std::string>(c.errLines, "err=00000002"));
    }
}

TEST(I2cSettings, UsbClockNeverZeroOrOutOfRange) {
    struct Case {
        std::uint32_t delayCount;
        std::uint32_t kHz;
        std::uint32_t delayAfter;
    };
    const Case cases[] = {
        {2400, 96, 2400}, {2500, 100, 2500}, {25, 1, 25},        {150000, 6000, 150000},
        {0, 96, 2400},    {24, 96, 2400},    {150025, 96, 2400}, {0xFFFFFFFF, 96, 2400},
    };
    for (const Case& c : cases) {
        I2cSettings settings{kPortUsb, 0x378, 0xA0, c.delayCount};
        EXPECT_EQ(usbClockKHz(settings), c.kHz) << c.delayCount;
        EXPECT_EQ(settings.delayCount, c.delayAfter) << c.delayCount;
    }
    // A stored USB setting is mended when it is loaded.
    const std::string type(kPortTypeValueName);
    const std::string delay(kDelayCountValueName);
    EXPECT_EQ(loadI2cSettings(readerOf({{type, 2}, {delay, 0}})).delayCount, 2400u);
    EXPECT_EQ(loadI2cSettings(readerOf({{type, 0}, {delay, 0}})).delayCount, 0u);
}

TEST(I2cSettings, DdcIsTheLastPortTypeAndNeitherParallelNorSerial) {
    EXPECT_EQ(portName(kPortCom8), "COM8");
    EXPECT_EQ(portName(kPortDdc), "DDC");
    EXPECT_EQ(portName(kPortDdc + 1), "");
    EXPECT_FALSE(isParallelPort(kPortDdc) || isSerialPort(kPortDdc));
    const std::string type(kPortTypeValueName);
    EXPECT_EQ(loadI2cSettings(readerOf({{type, 11}})),
              (I2cSettings{kPortDdc, 0x378, 0xA0, 500, ""}));
}

TEST(I2cSettings, StoredInTheTablesOrderWithThePortTypeSigned) {
    const auto values = storedValues({kPortNone, 0x3BC, 0xA0, 2400});
    ASSERT_EQ(values.size(), 4u);
    EXPECT_EQ(values[0].name, "Port Index(0-1:LPT, 3:USB, 2-9:COM)");
    EXPECT_EQ(values[0].value, 0xFFFFFFFFu);
    EXPECT_TRUE(values[0].isSigned);
    EXPECT_EQ(values[1].name, "Port Base Address");
    EXPECT_EQ(values[1].value, 0x3BCu);
    EXPECT_EQ(values[2].name, "Slave Address");
    EXPECT_EQ(values[3].name, "Clock Rate / Delay Count");
    EXPECT_EQ(values[3].value, 2400u);
}

} // namespace
} // namespace pellam::test
