// The sink's EDID EEPROM as a source of bytes for a verb that reads EDIDs
// (analyse --port): the options that choose the bus and the sink, as the
// transfer verbs take them, and the read itself.
#pragma once

#include "cli/cli_support.h"
#include "core/ddc/i2c_settings.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pellam::cli {

// The option lines of --port, --connector and --slave for a verb's help; the
// same words as the transfer verbs use.
extern const char* const kPortOptionsText;

// "usb" -> 2; any case. nullopt for a name that is not a port type.
std::optional<std::int32_t> parsePortType(std::string name);
// "A0", "0xa0" -> A0h; an even 8-bit address only.
std::optional<Byte> parseSlaveAddress(std::string_view text);

struct SinkOptions {
    I2cSettings settings;
    std::optional<std::string> connector;
    // Demo and test mode: a simulated EEPROM preloaded with this EDID file.
    std::optional<std::string> simulate;
};

// Takes --port, --connector, --slave and --simulate from the parsed options.
// Returns nullopt when none of them is given; sets `status` to kExitUsage
// (the message written) when they do not fit together.
std::optional<SinkOptions> sinkOptionsFrom(const ParsedArgs& parsed, int& status,
                                           std::ostream& err);

struct SinkRead {
    EdidBytes bytes; // the EEPROM's content, 256 bytes
    std::string name; // "slave address A0h on card0-HDMI-A-1"
};

// Reads the sink's EEPROM the way the window's analysis page takes its
// "Source from DDC": the whole content, and nothing when the sink does not
// answer. False with the message written when the port cannot be used or
// the read is not complete.
bool readSink(SinkOptions options, SinkRead& read, std::ostream& err);

} // namespace pellam::cli
