// krv2060: setup and test tool for the eight-channel temperature modules.

#include "app/batchcommand.h"
#include "app/commandline.h"
#include "app/language.h"
#include "app/program.h"
#include "krv_version.h"
#include "ui/panelcachestyle.h"

#include <QApplication>
#include <QSettings>

#include <cstdio>
#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

int main(int argc, char *argv[])
{
#ifdef Q_OS_UNIX
    // A file size limit must fail a record write, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    // --help and --version only print, and the commands work on the line
    // without a window: a core application does them, without a display.
    const std::unique_ptr<QCoreApplication> app =
        krv::runsWithoutWindow(argc, argv) ? std::make_unique<QCoreApplication>(argc, argv)
                                           : std::make_unique<QApplication>(argc, argv);
    // Settings live in ~/.config/krv2060/krv2060.conf (the registry elsewhere).
    QCoreApplication::setOrganizationName(QStringLiteral("krv2060"));
    QCoreApplication::setApplicationName(QStringLiteral("krv2060"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KRV_VERSION));
    if (qobject_cast<QApplication *>(app.get()))
        krv::usePanelCacheStyle();

    const krv::CommandLine line = krv::parseCommandLine(QCoreApplication::arguments());
    QSettings settings;
    // Lives as long as the program: the translator must outlive every tr(), and
    // language.language() tells which language is in effect.
    const krv::InterfaceLanguage language(krv::chooseLanguage(line.language, settings));

    if (line.error != krv::CommandLine::Error::None) {
        std::fputs(qPrintable(krv::CommandLineText::error(line)), stderr);
        return 2;
    }
    if (line.request == krv::CommandLine::Request::Help) {
        std::fputs(qPrintable(line.command == krv::CommandLine::Command::Window
                                  ? krv::CommandLineText::help(settings.fileName())
                                  : krv::CommandLineText::commandHelp(line.command)),
                   stdout);
        return 0;
    }
    if (line.request == krv::CommandLine::Request::Version) {
        std::fputs(qPrintable(krv::CommandLineText::version()), stdout);
        return 0;
    }

    if (line.command != krv::CommandLine::Command::Window)
        return krv::runLineCommand(line);

    auto desktop = std::make_unique<krv::DesktopProgram>();
    desktop->program.useLanguage(language.language());
    // --port chooses the port of this run; else the one used last.
    desktop->program.useRememberedLine(line.port);
    desktop->program.mainWindow.show();
    return QCoreApplication::exec();
}
