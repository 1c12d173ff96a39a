#pragma once
// krv2060's command line: --help, --version, --lang zh|en and --port ADDRESS.
// Parsing knows no language; the texts are made afterwards, in the interface language the
// parsed line (or the saved setting) chose.

#include "app/language.h"
#include "protocol/lineaddress.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <optional>

namespace krv {

struct CommandLine
{
    enum class Request { Run, Help, Version };
    enum class Error { None, UnknownOption, MissingValue, BadLanguage, BadPort, ExtraArgument };

    Request request = Request::Run;
    std::optional<Language> language; // --lang, when given and valid
    Error error = Error::None;
    QString culprit; // the option, value or argument in error
    // --port, when given and valid: the port of this run, before the saved one.
    std::optional<LineAddress> port;
};

// arguments as QCoreApplication::arguments(): the program name first. An error
// wins over --help and --version; --help wins over --version.
CommandLine parseCommandLine(const QStringList &arguments);

// True when the arguments ask for --help or --version: text only, which a
// core application can print without a display.
bool asksForTextOnly(int argc, const char *const *argv);

// The texts, in the language installed when called.
class CommandLineText
{
    Q_DECLARE_TR_FUNCTIONS(krv::CommandLineText)
public:
    static QString help(const QString &settingsFile);
    static QString version();
    static QString error(const CommandLine &line);
};

} // namespace krv
