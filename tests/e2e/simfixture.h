#pragma once
// The whole program against krv2060-sim in its own process: the simulator on
// a pseudo-terminal (the program's COM1), as a serial device server
// (--tcp: "127.0.0.1:N" typed into the port box) or as a Modbus TCP gateway
// (--mbap: "mbap://127.0.0.1:N"); the window's buttons and the real reply
// time-outs. The polling, scan and sweep ticks are run by the tests, each
// waiting for its reply or time-out, so that they do not wait out real ticks.

#include "app/program.h"
#include "scriptedasker.h"
#include "simprocess.h"

#include <QByteArray>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <memory>
#include <optional>

// The program on the simulator's line: COM1 leads to its pseudo-terminal, or
// its TCP address is typed into the port box.
struct SimFixture
{
    SimProcess sim;
    ScriptedAsker asker;
    std::unique_ptr<krv::SystemPortComponent> port;
    std::unique_ptr<krv::SystemPortComponent> controlPort;
    std::unique_ptr<krv::SystemPortComponent> alarmPort;
    std::unique_ptr<krv::Program> program;

    bool start(QString *error, const QStringList &simArgs = {}, SimLine line = SimLine::Pty)
    {
        if (!QFileInfo::exists(QStringLiteral(KRV_SIM_PATH))) {
            *error = QStringLiteral("krv2060-sim is not built");
            return false;
        }
        if (!sim.start(simArgs, error, line))
            return false;
        if (line == SimLine::Pty)
            qputenv("KRV2060_COM1", sim.pty().toLocal8Bit());
        port = std::make_unique<krv::SystemPortComponent>();
        controlPort = std::make_unique<krv::SystemPortComponent>();
        alarmPort = std::make_unique<krv::SystemPortComponent>();
        program =
            std::make_unique<krv::Program>(krv::Ports{*port, *controlPort, *alarmPort}, asker);
        if (line != SimLine::Pty)
            combo(QStringLiteral("ComPort"))->setEditText(sim.address());
        program->mainWindow.show();
        return true;
    }

    template <class T> T *w(const QString &name) const
    {
        T *widget = program->mainWindow.findChild<T *>(name);
        if (!widget)
            qFatal("no widget %s", qPrintable(name));
        return widget;
    }
    QString text(const QString &name) const { return w<QLineEdit>(name)->text(); }
    void setText(const QString &name, const QString &text) { w<QLineEdit>(name)->setText(text); }
    QComboBox *combo(const QString &name) const { return w<QComboBox>(name); }
    void click(const QString &name) { QTest::mouseClick(w<QPushButton>(name), Qt::LeftButton); }

    // Runs one tick handler and waits until its request is answered or timed out.
    [[nodiscard]] bool step(const std::function<void()> &tick)
    {
        return stepOn(program->engine, tick);
    }
    // The same on another window's engine (an editor's).
    [[nodiscard]] static bool stepOn(krv::TransactionEngine &engine,
                                     const std::function<void()> &tick)
    {
        QSignalSpy ended(&engine, &krv::TransactionEngine::requestEnded);
        tick();
        return !ended.isEmpty() || ended.wait(3000);
    }
    [[nodiscard]] bool ticks(int n)
    {
        for (int i = 0; i < n; ++i) {
            if (!step([this] { program->polling.onTick(); }))
                return false;
        }
        return true;
    }
    // "运 行", with the test running the ticks.
    void run()
    {
        click(QStringLiteral("Start"));
        program->polling.tickTimer().stop();
    }
    // "运 行" on module 2 and its whole start burst: with the system and module
    // control blocks read again once the identifier told firmware 5.3, it ends
    // with the measurements.
    [[nodiscard]] bool runModule2()
    {
        setText("Address", "2");
        run();
        return ticks(11);
    }
};

// The control editor of a SimFixture's program, opened from the polling main
// window on module 2.
struct ControlEditorOnSim
{
    SimFixture &f;
    krv::ControlEditor &editor = f.program->controlEditor;
    krv::EditorLink &link = f.program->controlLink;

    static inline const QStringList Rows{"StartStep", "InSel", "Phase", "SamTime", "SetVal",
                                         "SerD0",     "SerD1", "SerD2", "CtrlArea"};

    // "控制参数" after a few polling ticks; waits until the sweep on its real
    // timer has read all nine channels.
    [[nodiscard]] bool open()
    {
        // The editors open on a module polling has identified.
        if (!f.runModule2())
            return false;
        f.click("Command2");
        return QTest::qWaitFor(
            [this] { return !link.sweepTimer().isActive() && !link.engine().outstanding(); },
            10000);
    }
    QLineEdit *box(int row, int channel) const
    {
        return editor.findChild<QLineEdit *>(Rows[row] + QString::number(channel));
    }
    QStringList column(int channel) const
    {
        QStringList out;
        for (int r = 0; r < 9; ++r)
            out << box(r, channel)->text();
        return out;
    }
    QString text(const QString &name) const { return editor.findChild<QLineEdit *>(name)->text(); }
    void click(const QString &name)
    {
        QTest::mouseClick(editor.findChild<QPushButton *>(name), Qt::LeftButton);
    }
    // A read or write button, waiting until its request has ended.
    [[nodiscard]] bool press(const QString &name)
    {
        QSignalSpy ended(&link.engine(), &krv::TransactionEngine::requestEnded);
        click(name);
        return !ended.isEmpty() || ended.wait(3000);
    }
    // The boxes of a channel as the simulator's last reply to its read shows them.
    QStringList simColumn(int channel)
    {
        const QString request =
            QStringLiteral("02 03 01 %1 00 07").arg(2 + 18 * channel, 2, 16, QLatin1Char('0'));
        const QList<qint16> w = f.sim.lastReplyTo(request.toUpper());
        if (w.size() != 7)
            return {};
        return {
            QString::number(w[0] / 256), QString::number(w[0] & 255), QString::number(w[1] / 256),
            QString::number(w[1] & 255), QString::number(w[2]),       QString::number(w[3]),
            QString::number(w[4]),       QString::number(w[5]),       QString::number(w[6])};
    }
};
