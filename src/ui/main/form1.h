#pragma once
// The start window: everything known about the selected module, the choice of
// port, line speed, framing and module, the scan and polling buttons, the
// writes, the switch outputs and the measurement record. Handlers read and
// write the controls and hand the rest to link/.
//
// Controls carry their designer names as objectName. Control arrays are named
// element by element with the index appended: Dis0..Dis7, EngCalb0..EngCalb7,
// Title0..Title7, chanl0..chanl7, ChnlSensor0..ChnlSensor7, DOoutP0..DOoutP9,
// DI0..DI19. The digit labels above the lamps are the arrays Label22..Label29,
// one element per lamp frame: Label22_0 (Frame2), Label22_1 (Frame3) and
// Label22_3 (Frame6); element 2 of the first array is the caption "字节输出"
// (Label22_2).

#include "link/pollingcycle.h"
#include "link/registermap.h"
#include "link/shareddata.h"
#include "link/transactionengine.h"
#include "link/writerequests.h"
#include "ui/main/measurementrecord.h"

#include <QDateTime>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace krv {

class Asker;
class Lamp;

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

    static QString caption() { return QStringLiteral("KRV2060模块测试设置程序"); }
    // Title of message boxes that have none of their own.
    static QString programTitle() { return QStringLiteral("KRV2060"); }

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
    void DisTimer_Timer();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildStatusStrip();
    QGroupBox *buildFrame1();
    QGroupBox *buildFrame5();
    QWidget *buildLampColumn();
    QWidget *buildChannelRows();
    QGroupBox *buildFrame4();
    QWidget *buildOutputRow();
    QWidget *buildBottom();
    void connectLinks();
    void alignChannelColumns();

    QLabel *label(const char *name, const QString &text);
    QLineEdit *textBox(const char *name, const QString &text);
    QComboBox *comboBox(const char *name, const QString &designText);
    QPushButton *button(const char *name, const QString &text);

    LineChoice lineChoice() const;
    SysParamSelection sysParamSelection() const;
    // Shows a list item's text (or nothing for a code beyond the list) without
    // selecting it.
    static void showItemText(QComboBox *box, int index);

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

    // Status strip
    QLineEdit *Text4 = nullptr;
    QLineEdit *Text3 = nullptr;
    QLabel *Label39 = nullptr;
    QLabel *FileDis = nullptr;
    QLabel *NowDis = nullptr;
    QProgressBar *ScanProgress = nullptr;

    // Module information
    QLineEdit *Address = nullptr;
    QLineEdit *Text6 = nullptr;
    QComboBox *SysSensor = nullptr;
    QComboBox *Seperate = nullptr;
    QComboBox *Chnl8 = nullptr;
    QLineEdit *Text12 = nullptr;
    QComboBox *Baud = nullptr;
    QComboBox *Filter = nullptr;
    QComboBox *Comp = nullptr;
    QComboBox *ProtocolSel = nullptr;
    QLineEdit *AdjAD590 = nullptr;
    QLineEdit *MadeDate = nullptr;
    QLineEdit *MadeTime = nullptr;
    QComboBox *Request = nullptr;
    QComboBox *OutByte = nullptr;
    QLineEdit *POutTime = nullptr;
    QPushButton *Command6 = nullptr;

    // Communication parameters (the PC side)
    QComboBox *ComPort = nullptr;
    QComboBox *CommRate = nullptr;
    QComboBox *Protocol = nullptr;
    QComboBox *ModNO = nullptr;
    QPushButton *Command5 = nullptr;
    QPushButton *Command7 = nullptr;
    QPushButton *Start = nullptr;

    std::array<Lamp *, 20> DI{};

    std::array<QLineEdit *, 8> Dis{};
    std::array<QLineEdit *, 8> EngCalb{};
    QPushButton *Command8 = nullptr;
    QGridLayout *m_channelGrid = nullptr;

    QGroupBox *Frame4 = nullptr;
    std::array<QLabel *, 8> chanl{};
    std::array<QComboBox *, 8> ChnlSensor{};
    QPushButton *Command10 = nullptr;
    QPushButton *Command4 = nullptr;
    QGridLayout *m_sensorGrid = nullptr;
    QWidget *m_sensorIndent = nullptr;
    QWidget *m_sensorButtons = nullptr;

    std::array<QPushButton *, 10> DOoutP{};

    QLineEdit *Text5 = nullptr;
    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Save = nullptr;
    QPushButton *Command1 = nullptr;
};

} // namespace krv
