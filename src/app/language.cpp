#include "app/language.h"

#include <QCoreApplication>
#include <QSettings>

namespace krv {

std::optional<Language> languageFromCode(const QString &code)
{
    const QString c = code.trimmed();
    if (c.compare(u"zh", Qt::CaseInsensitive) == 0)
        return Language::Chinese;
    if (c.compare(u"en", Qt::CaseInsensitive) == 0)
        return Language::English;
    return std::nullopt;
}

QString languageCode(Language language)
{
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("zh");
}

Language chooseLanguage(std::optional<Language> option, const QSettings &settings)
{
    if (option)
        return *option;
    if (const auto saved = languageFromCode(settings.value(kLanguageSetting).toString()))
        return *saved;
    return Language::Chinese;
}

InterfaceLanguage::InterfaceLanguage(Language language, const QString &englishTranslation)
    : m_language(language)
{
    if (language != Language::English)
        return;
    m_translated =
        m_translator.load(englishTranslation) && QCoreApplication::installTranslator(&m_translator);
}

} // namespace krv
