#pragma once
// The main window's form: every control with its designer name as objectName,
// captions and placement. No behaviour: Form1 connects the handlers.
//
// Control arrays are named element by element with the index appended:
// Dis0..Dis7, EngCalb0..EngCalb7, Title0..Title7, chanl0..chanl7,
// ChnlSensor0..ChnlSensor7, DOoutP0..DOoutP9, DI0..DI19. The digit labels above
// the lamps are the arrays Label22..Label29, one element per lamp frame:
// Label22_0 (Frame2), Label22_1 (Frame3) and Label22_3 (Frame6); element 2 of
// the first array is the caption "字节输出" (Label22_2).

#include <QCoreApplication>

#include <array>

class QAction;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QWidget;

namespace krv {

class Lamp;

class Form1Ui
{
    Q_DECLARE_TR_FUNCTIONS(krv::Form1)
public:
    void setupUi(QWidget *window);
    // Lines the channel columns of the sensor frame up with the rows above it;
    // needs the final fonts, so the window calls it when it is shown.
    void alignChannelColumns();
    // How the clock at the right of the status strip shows date and time (a
    // QDateTime format; the record file keeps its own).
    static QString clockFormat();

    QWidget *form = nullptr;

    // Menu bar above the controls: "查看" with the monitor windows.
    QMenuBar *MenuBar = nullptr;
    QMenu *mnuView = nullptr;
    QAction *mnuTrafficMonitor = nullptr;
    QAction *mnuTrendChart = nullptr;
    // "语言 / Language": the interface language of the next start.
    QMenu *mnuLanguage = nullptr;
    QAction *mnuChinese = nullptr;
    QAction *mnuEnglish = nullptr;

    // Status strip
    QLineEdit *Text4 = nullptr;
    QLineEdit *Text3 = nullptr;
    QLabel *Label39 = nullptr;
    QLabel *FileDis = nullptr;
    QLabel *NowDis = nullptr;
    QProgressBar *ScanProgress = nullptr; // the address and framing a scan tries

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

    QGroupBox *Frame4 = nullptr;
    std::array<QLabel *, 8> chanl{};
    std::array<QComboBox *, 8> ChnlSensor{};
    QPushButton *Command10 = nullptr;
    QPushButton *Command4 = nullptr;

    std::array<QPushButton *, 10> DOoutP{};

    QLineEdit *Text5 = nullptr;
    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Save = nullptr;
    QPushButton *Command1 = nullptr;

private:
    QMenuBar *buildMenuBar();
    QWidget *buildStatusStrip();
    QGroupBox *buildFrame1();
    QGroupBox *buildFrame5();
    QWidget *buildLampColumn();
    QWidget *buildChannelRows();
    QGroupBox *buildFrame4();
    QWidget *buildOutputRow();
    QWidget *buildBottom();

    QGridLayout *m_channelGrid = nullptr;
    QGridLayout *m_sensorGrid = nullptr;
    QWidget *m_sensorIndent = nullptr;
    QWidget *m_sensorButtons = nullptr;
};

} // namespace krv
