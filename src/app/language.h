#pragma once
// The interface language. The source texts are Chinese; English comes from a
// translation compiled into the program (:/i18n/krv2060_en.qm). The choice is
// made once at start-up: the --lang option, else the saved "language" setting,
// else Chinese, whatever the system locale says. Files and the wire never
// depend on it.

#include <QString>
#include <QTranslator>

#include <optional>

class QSettings;

namespace krv {

enum class Language { Chinese, English };

// "zh" or "en", in any case; nothing for any other text.
std::optional<Language> languageFromCode(const QString &code);
QString languageCode(Language language);

// The settings key holding the saved language code.
inline constexpr char kLanguageSetting[] = "language";
inline constexpr char kEnglishTranslation[] = ":/i18n/krv2060_en.qm";

// option is --lang when given. A saved value that is no language code counts
// as not set.
Language chooseLanguage(std::optional<Language> option, const QSettings &settings);

// The language the program runs in, put into effect for as long as this object
// lives: for English it loads the translation and installs it in the
// application. When the translation cannot be loaded the Chinese source texts
// stay and translated() is false.
class InterfaceLanguage
{
public:
    explicit InterfaceLanguage(Language language,
                               const QString &englishTranslation = kEnglishTranslation);
    InterfaceLanguage(const InterfaceLanguage &) = delete;
    InterfaceLanguage &operator=(const InterfaceLanguage &) = delete;

    Language language() const { return m_language; }
    bool translated() const { return m_translated; }

private:
    Language m_language;
    QTranslator m_translator; // removes itself from the application when destroyed
    bool m_translated = false;
};

} // namespace krv
