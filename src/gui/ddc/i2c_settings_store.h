// The I2C settings in the user's configuration (QSettings, organisation
// "Korvo", application "Tarnix": ~/.config/Korvo/Tarnix.conf on Linux).
// Loaded once at start-up and saved once at exit.
#pragma once

#include "core/ddc/i2c_settings.h"

#include <QString>

namespace pellam {

// The four numbers; one that is missing or not a 32-bit number takes its
// default (logged as "err=%08X"). Then the DDC connector's name (missing:
// empty), the fast write, the EEPROM (missing: the port type's default)
// and the USB adapter's serial number. No configuration file at all, or one
// that cannot be read: the defaults, silently.
I2cSettings loadI2cSettingsFromConfig();
// Writes the four numbers in order, then the DDC connector's name, and logs
// "Save port: 0x%08X".
void saveI2cSettingsToConfig(const I2cSettings& settings);
// The configuration file's path.
QString i2cSettingsConfigFile();

} // namespace pellam
