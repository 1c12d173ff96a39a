// krv2060: setup and test tool for the eight-channel temperature modules.

#include "app/program.h"
#include "ui/panelcachestyle.h"

#include <QApplication>

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
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("krv2060"));
    krv::usePanelCacheStyle();

    auto desktop = std::make_unique<krv::DesktopProgram>();
    desktop->program.form1.show();
    return QApplication::exec();
}
