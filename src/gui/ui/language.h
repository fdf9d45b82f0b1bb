// The language of the user interface. The Chinese texts are the source texts
// of every caption and message and need no translation; English comes from
// the translation embedded as a resource. The choice is the command line's
// (--lang), else the environment's (PELLAM_LANG), else the one stored in the
// user's configuration, else Chinese, whatever the system locale.
#pragma once

#include <optional>

#include <QString>

namespace pellam {

enum class UiLanguage { Chinese, English };

// "zh" or "en" (any case); nothing for any other text.
std::optional<UiLanguage> languageFromCode(const QString& code);
QString languageCode(UiLanguage language);

// Where the language in effect came from.
enum class LanguageSource { Default, Settings, Environment, CommandLine };

struct LanguageChoice {
    UiLanguage language = UiLanguage::Chinese;
    LanguageSource source = LanguageSource::Default;
};

// The first of command line, environment and stored setting that names a
// language wins; texts naming none are passed over.
LanguageChoice chooseLanguage(const QString& commandLine, const QString& environment,
                              const QString& stored);

// The language stored in the user's configuration ("zh", "en" or empty).
QString storedLanguage();
void storeLanguage(UiLanguage language);

// Installs the translation of the language on the application (none for
// Chinese) and records the choice as the one in effect. False when the
// English translation cannot be loaded.
bool applyLanguage(const LanguageChoice& choice);
// The choice applied last; Chinese by default.
LanguageChoice languageInEffect();

} // namespace pellam
