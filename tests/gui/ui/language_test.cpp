// The language of the window: which of command line, environment and stored
// choice wins, and the English translation as committed and as embedded.
#include "gui/ui/language.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace pellam::test {
namespace {

TEST(Language, TheFirstSourceThatNamesALanguageWins) {
    using enum UiLanguage;
    using enum LanguageSource;
    const struct {
        const char* commandLine;
        const char* environment;
        const char* stored;
        UiLanguage language;
        LanguageSource source;
    } cases[] = {
        {"", "", "", Chinese, Default},
        {"", "", "en", English, Settings},
        {"", "", "zh", Chinese, Settings},
        {"", "en", "zh", English, Environment},
        {"", "zh", "en", Chinese, Environment},
        {"zh", "en", "en", Chinese, CommandLine},
        {"en", "zh", "", English, CommandLine},
        {"EN", "", "", English, CommandLine},
        // Texts that name no language are passed over.
        {"", "fr", "en", English, Settings},
        {"", "en_US.UTF-8", "", Chinese, Default},
        {"", "", "garbage", Chinese, Default},
    };
    for (const auto& c : cases) {
        const LanguageChoice choice =
            chooseLanguage(QString::fromLatin1(c.commandLine), QString::fromLatin1(c.environment),
                           QString::fromLatin1(c.stored));
        EXPECT_EQ(choice.language, c.language)
            << c.commandLine << "|" << c.environment << "|" << c.stored;
        EXPECT_EQ(choice.source, c.source)
            << c.commandLine << "|" << c.environment << "|" << c.stored;
    }
}

TEST(Language, TheChoiceIsStoredAsItsCode) {
    storeLanguage(UiLanguage::English);
    EXPECT_EQ(storedLanguage(), "en");
    storeLanguage(UiLanguage::Chinese);
    EXPECT_EQ(storedLanguage(), "zh");
}

TEST(Language, TheEmbeddedEnglishTranslationIsInstalledAndRemoved) {
    const char* context = "pellam::TForm1";
    ASSERT_TRUE(applyLanguage({UiLanguage::English, LanguageSource::CommandLine}));
    EXPECT_EQ(languageInEffect().language, UiLanguage::English);
    EXPECT_EQ(QCoreApplication::translate(context, "自动校验"), "Auto checksum");
    ASSERT_TRUE(applyLanguage({}));
    EXPECT_EQ(languageInEffect().language, UiLanguage::Chinese);
    EXPECT_EQ(QCoreApplication::translate(context, "自动校验"), "自动校验");
}

// The %1, %2 ... of a text.
QSet<QString> placeholders(const QString& text) {
    static const QRegularExpression placeholder(QStringLiteral("%\\d"));
    QSet<QString> found;
    for (auto it = placeholder.globalMatch(text); it.hasNext();)
        found.insert(it.next().captured());
    return found;
}

// Every message of the committed translation is translated, keeps the
// placeholders its source has and a menu's keyboard accelerator.
TEST(Language, EveryTextOfTheEnglishTranslationIsFinished) {
    QFile file(QStringLiteral(PELLAM_SOURCE_DIR "/translations/pellam_en.ts"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString context;
    QString source;
    int messages = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            const QString translation = xml.readElementText();
            const std::string where = (context + QStringLiteral(": ") + source).toStdString();
            ++messages;
            EXPECT_TRUE(type.isEmpty()) << type.toStdString() << " " << where;
            EXPECT_FALSE(translation.trimmed().isEmpty()) << where;
            EXPECT_EQ(placeholders(translation), placeholders(source)) << where;
            EXPECT_EQ(translation.startsWith(QLatin1Char('&')), source.startsWith(QLatin1Char('&')))
                << where;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(messages, 300);
}

} // namespace
} // namespace pellam::test
