#include "program.h"

#include <QSettings>

namespace krv {

Program::Program(Ports ports, Asker &asker)
    : engine(state, ports.comm1, TransactionEngine::Config{}), registerMap(state, engine),
      writes(state, engine), polling(state, engine, registerMap, writes),
      controlLink(state, ports.controlPort, polling), alarmLink(state, ports.alarmPort, polling),
      form1(Form1::Links{state, engine, registerMap, writes, polling}, asker),
      controlSet(controlLink, state, asker), alarmSet(alarmLink, state, asker),
      fileSearch(state.files), monitors(state, engine, registerMap, asker), m_asker(asker)
{
    engine.setDispatcher([this] { registerMap.dispatch(); });

    // The main window lends the line to an editor and gets it back.
    QObject::connect(&form1, &Form1::editorRequested, &form1, [this](Form1::Editor which) {
        if (which == Form1::Editor::Control)
            controlSet.openFromMain();
        else
            alarmSet.openFromMain();
    });
    for (EditorWindow *editor : std::initializer_list<EditorWindow *>{&controlSet, &alarmSet}) {
        QObject::connect(editor, &EditorWindow::returned, &form1, [this] { form1.show(); });
        QObject::connect(editor, &EditorWindow::chooseFile, &fileSearch,
                         [this] { fileSearch.show(); });
    }
    // The chooser hands back to the editor that asked.
    QObject::connect(&fileSearch, &FileSearch::finished, &form1, [this](qint16 requester) {
        if (requester == 1)
            alarmSet.show();
        else
            controlSet.show();
    });

    QObject::connect(&form1, &Form1::trafficMonitorRequested, &monitors,
                     &MonitorWindows::showTrafficMonitor);
    QObject::connect(&form1, &Form1::trendChartRequested, &monitors,
                     &MonitorWindows::showTrendChart);
    // The editors' traffic shows in the monitor beside the main window's.
    monitors.trafficLog().attach(controlLink.engine(),
                                 QStringLiteral(QT_TRANSLATE_NOOP("krv::TrafficLog", "控制参数")));
    monitors.trafficLog().attach(alarmLink.engine(),
                                 QStringLiteral(QT_TRANSLATE_NOOP("krv::TrafficLog", "报警参数")));
}

void Program::useLanguage(Language running)
{
    form1.showLanguage(languageCode(running));
    QObject::connect(&form1, &Form1::languageChosen, &form1, [this, running](const QString &code) {
        const std::optional<Language> chosen = languageFromCode(code);
        if (!chosen)
            return;
        QSettings().setValue(kLanguageSetting, languageCode(*chosen));
        if (*chosen != running)
            m_asker.inform(&form1, programTitle(), languageAtNextStartText());
    });
}

QString languageAtNextStartText()
{
    return QStringLiteral("界面语言将在程序下次启动时改变。\n"
                          "The interface language changes at the next start of the program.");
}

} // namespace krv
