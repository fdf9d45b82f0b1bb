#include "gui/ddc/i2c_settings_store.h"

#include "core/edid/debug_log.h"
#include "gui/ui/user_config.h"

#include <cstdint>
#include <limits>

#include <QFileInfo>
#include <QSettings>

namespace pellam {

namespace {

QString key(std::string_view name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace

QString i2cSettingsConfigFile() {
    return openUserConfig()->fileName();
}

I2cSettings loadI2cSettingsFromConfig() {
    const std::unique_ptr<QSettings> opened = openUserConfig();
    QSettings& config = *opened;
    if (!QFileInfo::exists(config.fileName()) || config.status() != QSettings::NoError)
        return I2cSettings{};
    I2cSettings settings = loadI2cSettings([&config](std::string_view name) -> DwordRead {
        const QVariant value = config.value(key(name));
        if (!value.isValid())
            return {std::nullopt, kErrorValueMissing};
        bool ok = false;
        const qlonglong number = value.toLongLong(&ok);
        if (!ok || number < std::numeric_limits<std::int32_t>::min() ||
            number > std::numeric_limits<std::uint32_t>::max())
            return {std::nullopt, kErrorValueNotNumber};
        return {static_cast<std::uint32_t>(number), 0};
    });
    // Written by versions that know the DDC port type; older files lack it.
    settings.ddcConnector = config.value(key(kDdcConnectorValueName)).toString().toStdString();
    settings.fastWrite = config.value(key(kFastWriteValueName), 0).toInt() != 0;
    // Missing: the port type's default. A number that names no kind is
    // logged and taken as missing.
    const QVariant eeprom = config.value(key(kEepromValueName));
    if (eeprom.isValid()) {
        bool ok = false;
        settings.eeprom = eepromKindFromNumber(eeprom.toLongLong(&ok));
        if (!ok || !settings.eeprom) {
            settings.eeprom.reset();
            debugLog("err=%08X", static_cast<unsigned>(kErrorValueNotNumber));
        }
    }
    settings.usbSerial = config.value(key(kUsbSerialValueName)).toString().toStdString();
    return settings;
}

void saveI2cSettingsToConfig(const I2cSettings& settings) {
    const std::unique_ptr<QSettings> opened = openUserConfig();
    QSettings& config = *opened;
    for (const StoredValue& stored : storedValues(settings)) {
        if (stored.isSigned)
            config.setValue(key(stored.name), static_cast<qint32>(stored.value));
        else
            config.setValue(key(stored.name), static_cast<quint32>(stored.value));
    }
    config.setValue(key(kDdcConnectorValueName), QString::fromStdString(settings.ddcConnector));
    config.setValue(key(kFastWriteValueName), settings.fastWrite ? 1 : 0);
    if (settings.eeprom)
        config.setValue(key(kEepromValueName), static_cast<int>(*settings.eeprom));
    else
        config.remove(key(kEepromValueName));
    config.setValue(key(kUsbSerialValueName), QString::fromStdString(settings.usbSerial));
    config.sync();
    debugLog("Save port: 0x%08X", static_cast<unsigned>(settings.portType));
}

} // namespace pellam
