// krv2060: setup and test tool for the eight-channel temperature modules.

#include "app/program.h"
#include "protocol/serialportcomponent.h"
#include "ui/asker.h"

#include <QApplication>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("krv2060"));

    krv::QSerialPortComponent comm1;
    krv::DialogAsker asker;
    auto program = std::make_unique<krv::Program>(comm1, asker);
    program->form1.show();
    return QApplication::exec();
}
