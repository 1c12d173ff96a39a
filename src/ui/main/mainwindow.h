#pragma once
// The start window: everything known about the selected module, the choice of
// port (an item or a typed address), line speed, framing and module, the scan and polling buttons,
// the writes, the switch outputs and the measurement record. Its controls live in MainWindowForm;
// the handlers here read and write them and hand the rest to link/.

#include "link/modulescan.h"
#include "link/pollingcycle.h"
#include "link/registermap.h"
#include "link/sharedstate.h"
#include "link/transactionengine.h"
#include "link/writerequests.h"
#include "ui/asker.h"
#include "ui/batch/batchline.h"
#include "ui/main/mainwindowform.h"
#include "ui/main/measurementrecord.h"

#include <QDateTime>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace krv {

class PaintPacer;
class PortInfoSource;

class MainWindow : public QWidget, public BatchLineOwner
{
    Q_OBJECT
public:
    // The link objects the window drives; all outlive the window.
    struct Links
    {
        SharedState &state;
        TransactionEngine &engine;
        RegisterMap &reads;
        WriteRequests &writes;
        ModuleScan &scan;
        PollingCycle &polling;
    };

    // Builds the controls and loads the window. The port list lists the
    // serial ports portInfo names (not owned; nullptr: the system's).
    MainWindow(Links links, Asker &asker, const PortInfoSource *portInfo = nullptr,
               QWidget *parent = nullptr);
    ~MainWindow() override;

    enum class Editor { Control, Alarm };

    // Title of message boxes that have none of their own.
    static QString programTitle() { return krv::programTitle(); }

    // Source of the present date and time (tests fix it).
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }
    bool recording() const { return m_recording; }

    // Ticks the language item of code ("zh" or "en") in the language menu.
    void showLanguage(const QString &code);
    // Chooses a port and a line speed as remembered or given on the command
    // line: the port's item when it has one, else its text as typed; a speed
    // that is no item is left out. The port is configured, not opened.
    void showLine(const QString &port, const QString &speed);

    void onRunClicked();
    void onStopClicked();
    void onScanClicked();
    void onWriteModuleClicked();
    void onSetSensorsClicked();
    void onWriteCalibrationClicked();
    void onRefreshSensorsClicked();
    void onOutputClicked(int index);
    void onRecordClicked();
    void onEndClicked();
    void onModuleChosen();
    void onClockTick();
    // "控制参数" and "报警参数": the line is lent to an editor.
    void onControlEditorClicked();
    void onAlarmEditorClicked();

    // The batch window's line. The modules of the last scan: the module
    // list's entries, each slot's station and framing.
    QList<BatchTarget> scannedModules() const override;
    // Lent as to an editor (polling, scan and reply timer stop, the port is
    // closed); the window stays in view, its controls disabled until the
    // batch ends (the menus stay usable). Refused, with the reason told, for a port or speed that
    // is no choice, while a scan runs or while an editor has the line.
    std::optional<LineChoice> lendLineForBatch() override;
    // Input again; polling goes on only when it ran before the batch (after a
    // scan or "停 止" it stays stopped, as the operator left it).
    void takeBackLineFromBatch() override;

Q_SIGNALS:
    // Polling is suspended, the port closed and this window hidden: the editor
    // takes over the line.
    void editorRequested(krv::MainWindow::Editor which);
    // "工具 > 批量设置…": whoever owns the batch window shows it.
    void batchRequested();
    // "查看" menu: whoever owns the monitor windows shows them.
    void trafficMonitorRequested();
    void trendChartRequested();
    // "语言 / Language": the operator chose the interface language, "zh" or
    // "en"; the owner remembers it for the next start.
    void languageChosen(const QString &code);
    // "运 行" or "扫描模块" started on this port ("COM1", "ttyUSB0",
    // "host:4001", "mbap://host:502") at this line speed ("9600").
    void lineUsed(const QString &port, const QString &speed);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void connectControls();
    void connectLinks();
    // Window load: the lists filled (the system's ports too), COM1, 9600 baud
    // and RTU chosen, the port configured but not opened, the clock running.
    void load();
    void fillLists();

    // What a refused list keeps from happening.
    enum class Withheld { Run, Scan, ModuleWrite, SensorWrite, Editor, Batch };
    // True when no list holds typed text that is none of its items; else
    // tells the user which list does (the first) and what did not happen.
    bool listsHoldItems(const QList<const QComboBox *> &lists, Withheld withheld);
    QString listName(const QComboBox *list) const;
    // True when the port box names a usable address; else tells the user
    // which text and what is wrong with it, and what did not happen.
    bool portAddressUsable(Withheld withheld);

    LineChoice lineChoice() const;
    SystemSelection systemSelection() const;
    bool confirmSystemWrite();

    void showStatus(const LinkStatus &status);
    void showSystemBlock(const SystemBlock &m);
    void showMeasurements(const ChannelValues &values, bool record);
    void showSensorCodes(const ChannelValues &codes);
    void showCalibration(const ChannelValues &values);
    void showOutputs(const SwitchOutputs &on);
    void showControlEnable(bool on);
    void showInputs(const SwitchInputs &on);
    void addModule(const QString &item, int slot);
    void showScanStep(int address, Framing framing);
    void reportPortFailure(const PortFailure &failure);
    void setRecordingControls(bool on);
    void endRecordingAfterFailure(const QString &reason);
    void endProgram();
    void lendLine(Editor which);

    MainWindowForm ui;
    PaintPacer *m_pacer = nullptr;
    SharedState &m_state;
    TransactionEngine &m_engine;
    RegisterMap &m_reads;
    WriteRequests &m_writes;
    ModuleScan &m_scan;
    PollingCycle &m_polling;
    Asker &m_asker;
    std::function<QDateTime()> m_now = [] { return QDateTime::currentDateTime(); };

    bool m_recording = false;
    MeasurementRecord m_record;
    QTimer m_clock;
    bool m_ended = false;
    int m_scanSelection = -1;        // the module list entry the running scan selected
    bool m_pollingStarted = false;   // "运 行" pressed, not "停 止" or "扫描模块" since
    bool m_resumeAfterBatch = false; // polling ran when the line was lent for a batch
    QList<QPointer<QWidget>> m_disabledForBatch;
};

} // namespace krv
