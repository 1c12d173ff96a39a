#include "program.h"

#include <QSettings>

namespace krv {

Program::Program(Ports ports, Asker &asker, const PortInfoSource *portInfo)
    : engine(state.moduleSlots, ports.mainPort, TransactionEngine::Config{}),
      registerMap(state, engine), writes(state, engine), scan(state, engine, registerMap),
      polling(state, engine, registerMap, writes, scan),
      controlLink(state.moduleSlots, ports.controlPort, polling),
      alarmLink(state.moduleSlots, ports.alarmPort, polling),
      mainWindow(MainWindow::Links{state, engine, registerMap, writes, scan, polling}, asker,
                 portInfo),
      controlEditor(controlLink, state.moduleSlots, asker), alarmEditor(alarmLink, state, asker),
      monitors(engine, registerMap, asker),
      m_ownBatchPort(ports.batchPort ? nullptr : std::make_unique<SystemPortComponent>()),
      batchJob(ports.batchPort ? *ports.batchPort : *m_ownBatchPort),
      batchWindow(batchJob, mainWindow, asker), m_asker(asker)
{
    engine.setDispatcher([this](const Request &request, const ReplyReader &reply) {
        registerMap.dispatch(request, reply);
    });

    // The main window lends the line to an editor and gets it back.
    QObject::connect(&mainWindow, &MainWindow::editorRequested, &mainWindow,
                     [this](MainWindow::Editor which) {
                         if (which == MainWindow::Editor::Control)
                             controlEditor.open();
                         else
                             alarmEditor.open();
                     });
    for (EditorWindow *editor :
         std::initializer_list<EditorWindow *>{&controlEditor, &alarmEditor}) {
        QObject::connect(editor, &EditorWindow::returned, &mainWindow,
                         [this] { mainWindow.show(); });
        QObject::connect(editor, &EditorWindow::fileWanted, editor,
                         [this, editor] { chooseFileFor(*editor); });
    }

    QObject::connect(&mainWindow, &MainWindow::trafficMonitorRequested, &monitors,
                     &MonitorWindows::showTrafficMonitor);
    QObject::connect(&mainWindow, &MainWindow::trendChartRequested, &monitors,
                     &MonitorWindows::showTrendChart);
    // The editors' traffic shows in the monitor beside the main window's.
    monitors.trafficLog().attach(controlLink.engine(),
                                 QStringLiteral(QT_TRANSLATE_NOOP("krv::TrafficLog", "控制参数")));
    monitors.trafficLog().attach(alarmLink.engine(),
                                 QStringLiteral(QT_TRANSLATE_NOOP("krv::TrafficLog", "报警参数")));

    // The batch window borrows the main window's line for each batch.
    QObject::connect(&mainWindow, &MainWindow::batchRequested, &batchWindow, &BatchWindow::open);
    monitors.trafficLog().attach(batchJob.engine(),
                                 QStringLiteral(QT_TRANSLATE_NOOP("krv::TrafficLog", "批量设置")));
}

void Program::chooseFileFor(EditorWindow &editor)
{
    // The answer goes to the editor that asked, this once; the chooser offers
    // that editor's files.
    QObject::connect(&fileChooser, &FileChooser::finished, &editor, &EditorWindow::onFileChosen,
                     Qt::SingleShotConnection);
    fileChooser.offerType(editor.fileType().chooserItem);
    fileChooser.show();
}

void Program::useLanguage(Language running)
{
    mainWindow.showLanguage(languageCode(running));
    QObject::connect(&mainWindow, &MainWindow::languageChosen, &mainWindow,
                     [this, running](const QString &code) {
                         const std::optional<Language> chosen = languageFromCode(code);
                         if (!chosen)
                             return;
                         QSettings().setValue(kLanguageSetting, languageCode(*chosen));
                         if (*chosen != running)
                             m_asker.inform(&mainWindow, programTitle(), languageAtNextStartText());
                     });
}

void Program::useRememberedLine(const std::optional<LineAddress> &port)
{
    const QSettings settings;
    mainWindow.showLine(port ? port->text() : settings.value(kPortSetting).toString(),
                        settings.value(kSpeedSetting).toString());
    QObject::connect(&mainWindow, &MainWindow::lineUsed, &mainWindow,
                     [](const QString &usedPort, const QString &speed) {
                         QSettings saved;
                         saved.setValue(kPortSetting, usedPort);
                         saved.setValue(kSpeedSetting, speed);
                     });
}

QString languageAtNextStartText()
{
    return QStringLiteral("界面语言将在程序下次启动时改变。\n"
                          "The interface language changes at the next start of the program.");
}

} // namespace krv
