#include "gui/ui/language.h"

#include "gui/ui/user_config.h"

#include <QCoreApplication>
#include <QTranslator>

namespace pellam {

namespace {

const QString kLanguageKey = QStringLiteral("Editor/Language");
const QString kEnglishTranslation = QStringLiteral(":/i18n/pellam_en.qm");

LanguageChoice g_inEffect;

QTranslator& translator() {
    static QTranslator instance;
    return instance;
}

} // namespace

std::optional<UiLanguage> languageFromCode(const QString& code) {
    const QString c = code.trimmed().toLower();
    if (c == QLatin1String("zh"))
        return UiLanguage::Chinese;
    if (c == QLatin1String("en"))
        return UiLanguage::English;
    return std::nullopt;
}

QString languageCode(UiLanguage language) {
    return language == UiLanguage::English ? QStringLiteral("en") : QStringLiteral("zh");
}

LanguageChoice chooseLanguage(const QString& commandLine, const QString& environment,
                              const QString& stored) {
    const std::pair<const QString&, LanguageSource> sources[] = {
        {commandLine, LanguageSource::CommandLine},
        {environment, LanguageSource::Environment},
        {stored, LanguageSource::Settings},
    };
    for (const auto& [text, source] : sources)
        if (const auto language = languageFromCode(text))
            return {*language, source};
    return {};
}

QString storedLanguage() {
    return openUserConfig()->value(kLanguageKey).toString();
}

void storeLanguage(UiLanguage language) {
    openUserConfig()->setValue(kLanguageKey, languageCode(language));
}

bool applyLanguage(const LanguageChoice& choice) {
    QCoreApplication::removeTranslator(&translator());
    g_inEffect = {UiLanguage::Chinese, choice.source};
    if (choice.language == UiLanguage::Chinese)
        return true;
    if (!translator().load(kEnglishTranslation) ||
        !QCoreApplication::installTranslator(&translator()))
        return false;
    g_inEffect.language = choice.language;
    return true;
}

LanguageChoice languageInEffect() {
    return g_inEffect;
}

} // namespace pellam
