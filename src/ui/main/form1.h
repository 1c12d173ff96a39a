#pragma once
// The start window: everything known about the selected module, the choice of
// port, line speed, framing and module, the scan and polling buttons, the
// writes, the switch outputs and the measurement record. Its controls live in
// Form1Ui; the handlers here read and write them and hand the rest to link/.

#include "link/pollingcycle.h"
#include "link/registermap.h"
#include "link/shareddata.h"
#include "link/transactionengine.h"
#include "link/writerequests.h"
#include "ui/asker.h"
#include "ui/main/form1ui.h"
#include "ui/main/measurementrecord.h"

#include <QDateTime>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace krv {

class Form1 : public QWidget
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
        PollingCycle &polling;
    };

    // Builds the controls and runs Form_Load.
    Form1(Links links, Asker &asker, QWidget *parent = nullptr);
    ~Form1() override;

    enum class Editor { Control, Alarm };

    // Title of message boxes that have none of their own.
    static QString programTitle() { return krv::programTitle(); }

    // Source of the present date and time (tests fix it).
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }
    bool saving() const { return m_Saving != 0; }

    void Form_Load();
    void InitialComboBox();
    void ShowSysInfo();

    void Start_Click();
    void Command7_Click();
    void Command5_Click();
    void Command6_Click();
    void Command4_Click();
    void Command8_Click();
    void Command10_Click();
    void DOoutP_Click(int index);
    void Save_Click();
    void Command1_Click();
    void ModNO_Change();
    // Ticks the language item of code ("zh" or "en") in the language menu.
    void showLanguage(const QString &code);
    void DisTimer_Timer();
    // "控制参数" and "报警参数": the line is lent to an editor.
    void Command2_Click();
    void Command3_Click();

Q_SIGNALS:
    // Polling is suspended, the port closed and this window hidden: the editor
    // takes over the line.
    void editorRequested(krv::Form1::Editor which);

Q_SIGNALS:
    // "查看" menu: whoever owns the monitor windows shows them.
    void trafficMonitorRequested();
    void trendChartRequested();
    // "语言 / Language": the operator chose the interface language, "zh" or
    // "en"; the owner remembers it for the next start.
    void languageChosen(const QString &code);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void connectControls();
    void connectLinks();

    LineChoice lineChoice() const;
    SysParamSelection sysParamSelection() const;
    bool confirmSystemWrite();

    void showMeasurements(int count, bool record);
    void showSensorCodes(int count);
    void showCalibration(int count);
    void showOutputs();
    void showControlEnable();
    void showInputs();
    void addModule(const QString &item, int slot);
    void showScanStep(int address, bool ascii);
    void reportPortError(const QString &message);
    void setRecordingControls(bool on);
    void endRecordingAfterFailure(const QString &reason);
    void endProgram();
    void lendLine(Editor which);

    Form1Ui ui;
    SharedState &m_state;
    TransactionEngine &m_engine;
    RegisterMap &m_reads;
    WriteRequests &m_writes;
    PollingCycle &m_polling;
    Asker &m_asker;
    std::function<QDateTime()> m_now = [] { return QDateTime::currentDateTime(); };

    qint16 m_Saving = 0;
    MeasurementRecord m_record;
    QTimer m_DisTimer;
    bool m_ended = false;
    int m_scanSelection = -1; // the module list entry the running scan selected
};

} // namespace krv
