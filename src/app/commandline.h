#pragma once
// krv2060's command line. Without a command the window starts (--help,
// --version, --lang zh|en, --port ADDRESS); the commands scan, apply, backup
// and compare work on the line without a window, and "help [COMMAND]"
// describes them.
// Parsing knows no language; the texts are made afterwards, in the interface language the
// parsed line (or the saved setting) chose.

#include "app/language.h"
#include "link/batchjob.h"
#include "protocol/lineaddress.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace krv {

struct CommandLine
{
    enum class Request { Run, Help, Version };
    enum class Command { Window, Scan, Apply, Backup, Compare };
    enum class Error {
        None,
        UnknownOption,
        MissingValue, // culprit: the option
        BadLanguage,
        BadPort,
        ExtraArgument,
        NotForCommand,   // culprit: an option the command (or the window) does not take
        MissingOption,   // culprit: the option the command needs ("--port", "--stations", "--dir")
        NoParameterFile, // apply or compare without --control and --alarm
        SystemBlockWithoutAlarm,
        BadBaud,     // culprit: the value
        BadStations, // culprit: the list as given
    };

    Request request = Request::Run;
    Command command = Command::Window;
    std::optional<Language> language; // --lang, when given and valid
    Error error = Error::None;
    QString culprit; // the option, value or argument in error
    // --port, when given and valid: the port of this run, before the saved one.
    std::optional<LineAddress> port;

    // The commands' options, checked for form only: files and folders are
    // looked at when the command runs.
    int baud = 9600;
    int rateIndex = 3; // 0..5 for 1200..38400
    QList<BatchTarget> stations;
    QString controlFile; // --control
    QString alarmFile;   // --alarm
    bool systemBlock = false;
    QString reportFile; // --report
    QString backupDir;  // --dir
};

// arguments as QCoreApplication::arguments(): the program name first. An error
// wins over --help and --version; --help wins over --version. A command's
// missing options are no error while its help is asked for.
CommandLine parseCommandLine(const QStringList &arguments);

// The command's name as typed ("apply"); empty for the window.
QString commandName(CommandLine::Command command);

// True when the arguments ask for something other than the window (--help,
// --version, a command, or an argument that is none): a core application
// does it, without a display.
bool runsWithoutWindow(int argc, const char *const *argv);

// The texts, in the language installed when called.
class CommandLineText
{
    Q_DECLARE_TR_FUNCTIONS(krv::CommandLineText)
public:
    // krv2060 --help (and krv2060 help): the window's options and the commands.
    static QString help(const QString &settingsFile);
    // krv2060 COMMAND --help (and krv2060 help COMMAND).
    static QString commandHelp(CommandLine::Command command);
    static QString version();
    static QString error(const CommandLine &line);
};

} // namespace krv
