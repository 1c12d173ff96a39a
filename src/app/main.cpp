// krv2060: setup and test tool for the eight-channel temperature modules.

#include "app/program.h"

#include <QApplication>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("krv2060"));

    auto desktop = std::make_unique<krv::DesktopProgram>();
    desktop->program.form1.show();
    return QApplication::exec();
}
