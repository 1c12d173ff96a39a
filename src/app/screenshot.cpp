// krv2060-shot: the program as krv2060 builds it, with the operator's first
// steps played automatically, so that a picture of a polling window can be
// taken without a person at the screen (scripts/demo --screenshot).
//
// Steps: scan until address 5 is done, stop, run the first module found, then
// switch outputs 1 and 4 on (where they read off), one tick apart. When polling has gone on for a
// few seconds it prints one line
//   ready X Y W H
// with the window's place on the screen in device pixels, and keeps running
// until it is ended.

#include "app/program.h"
#include "ui/panelcachestyle.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

void press(krv::Form1 &form, const char *name)
{
    if (auto *button = form.findChild<QPushButton *>(QLatin1String(name)))
        button->click();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("krv2060"));
    krv::usePanelCacheStyle();

    auto desktop = std::make_unique<krv::DesktopProgram>();
    krv::Program *program = &desktop->program;
    krv::Form1 &form = program->form1;
    form.move(0, 0);
    form.show();

    const auto ready = [&form] {
        const qreal dpr = form.devicePixelRatioF();
        const QRect r = form.frameGeometry();
        std::printf("ready %d %d %d %d\n", qRound(r.x() * dpr), qRound(r.y() * dpr),
                    qRound(r.width() * dpr), qRound(r.height() * dpr));
        std::fflush(stdout);
    };
    const auto run = [&] {
        form.findChild<QComboBox *>(QStringLiteral("ModNO"))->setCurrentIndex(0);
        press(form, "Start");
        const auto switchOn = [&](int output) {
            if (program->state.module.DOState[output] == 0)
                press(form, qPrintable(QStringLiteral("DOoutP%1").arg(output)));
        };
        QTimer::singleShot(4000, &form, [=] { switchOn(1); });
        QTimer::singleShot(4500, &form, [=] { switchOn(4); });
        QTimer::singleShot(7000, &form, ready);
    };
    QObject::connect(&program->polling, &krv::PollingCycle::scanStep, &form,
                     [&](int address, bool) {
                         if (address != 6)
                             return;
                         press(form, "Command7");
                         QTimer::singleShot(300, &form, run);
                     });
    QTimer::singleShot(500, &form, [&] { press(form, "Command5"); });
    return QApplication::exec();
}
