// The interface language: which one start-up chooses, and the English
// translation put into effect and taken away again.
#include "app/commandline.h"
#include "app/language.h"

#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace krv;

namespace {

QString chineseSource()
{
    return QStringLiteral("选项:");
}

QString translated()
{
    return QCoreApplication::translate("krv::CommandLineText", "选项:");
}

bool hasChinese(const QString &text)
{
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    return text.contains(han);
}

} // namespace

class TestLanguage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void chooseLanguage_data()
    {
        QTest::addColumn<QString>("option"); // empty: no --lang
        QTest::addColumn<QVariant>("saved"); // invalid: no setting
        QTest::addColumn<QString>("expected");
        QTest::newRow("nothing: Chinese") << "" << QVariant() << "zh";
        QTest::newRow("saved English") << "" << QVariant("en") << "en";
        QTest::newRow("saved code in any case and blanks") << "" << QVariant(" EN ") << "en";
        QTest::newRow("unknown saved code") << "" << QVariant("fr") << "zh";
        QTest::newRow("option over saved") << "zh" << QVariant("en") << "zh";
        QTest::newRow("option alone") << "en" << QVariant() << "en";
    }
    void chooseLanguage()
    {
        QFETCH(QString, option);
        QFETCH(QVariant, saved);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QSettings settings(dir.filePath("krv2060.conf"), QSettings::IniFormat);
        if (saved.isValid())
            settings.setValue(kLanguageSetting, saved);
        // The system locale has no say.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        const std::optional<Language> opt =
            option.isEmpty() ? std::nullopt : languageFromCode(option);
        QCOMPARE(languageCode(krv::chooseLanguage(opt, settings)), expected);
        QLocale::setDefault(QLocale::c());
    }

    void englishInstalledForItsLifetime()
    {
        QCOMPARE(translated(), chineseSource());
        {
            const InterfaceLanguage english(Language::English);
            QVERIFY(english.translated());
            QCOMPARE(translated(), QStringLiteral("Options:"));
        }
        QCOMPARE(translated(), chineseSource());

        const InterfaceLanguage chinese(Language::Chinese);
        QVERIFY(!chinese.translated());
        QCOMPARE(translated(), chineseSource());
    }

    void missingTranslationKeepsSourceTexts()
    {
        const InterfaceLanguage english(Language::English, QStringLiteral(":/i18n/none.qm"));
        QCOMPARE(english.language(), Language::English);
        QVERIFY(!english.translated());
        QCOMPARE(translated(), chineseSource());
    }

    // Every command-line text has its English translation: no Chinese left.
    void commandLineTextsTranslated()
    {
        const InterfaceLanguage english(Language::English);
        const auto failing = [](CommandLine::Error error, const QString &culprit) {
            CommandLine line;
            line.error = error;
            line.culprit = culprit;
            return line;
        };
        QString all = CommandLineText::help(QStringLiteral("/x/krv2060.conf"));
        for (auto e : {CommandLine::Error::UnknownOption, CommandLine::Error::MissingValue,
                       CommandLine::Error::BadLanguage, CommandLine::Error::ExtraArgument})
            all += CommandLineText::error(failing(e, QStringLiteral("x")));
        // --port without a value, and each way an address can be malformed.
        all += CommandLineText::error(
            failing(CommandLine::Error::MissingValue, QStringLiteral("--port")));
        for (const char *port : {"", " x y ", ":502", "host:", "host:0", "ftp://x:1"})
            all += CommandLineText::error(
                failing(CommandLine::Error::BadPort, QString::fromLatin1(port)));
        // The commands: their help and the ways their options are refused.
        for (auto c : {CommandLine::Command::Scan, CommandLine::Command::Apply,
                       CommandLine::Command::Backup, CommandLine::Command::Compare})
            all += CommandLineText::commandHelp(c);
        for (const char *option : {"--baud", "--stations", "--control", "--dir"})
            all += CommandLineText::error(
                failing(CommandLine::Error::MissingValue, QString::fromLatin1(option)));
        for (auto e : {CommandLine::Error::NotForCommand, CommandLine::Error::MissingOption,
                       CommandLine::Error::NoParameterFile,
                       CommandLine::Error::SystemBlockWithoutAlarm, CommandLine::Error::BadBaud}) {
            CommandLine line = failing(e, QStringLiteral("--dir"));
            line.command = CommandLine::Command::Apply;
            all += CommandLineText::error(line);
        }
        QVERIFY2(!hasChinese(all), qPrintable(all));
        QVERIFY(all.contains(u"/x/krv2060.conf"));
    }
};

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
