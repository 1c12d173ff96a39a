#pragma once
// The main window's form: every control with its designer name as objectName,
// captions and placement. No behaviour: MainWindow connects the handlers.
//
// The objectNames of control arrays carry the index:
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
class PortList;

class MainWindowForm
{
    Q_DECLARE_TR_FUNCTIONS(krv::MainWindow)
public:
    void setupUi(QWidget *window);
    // Lines the channel columns of the sensor frame up with the rows above it;
    // needs the final fonts, so the window calls it when it is shown.
    void alignChannelColumns();
    // How the clock at the right of the status strip shows date and time (a
    // QDateTime format; the record file keeps its own).
    static QString clockFormat();

    QWidget *form = nullptr;

    // Menu bar above the controls: "查看" with the monitor windows, "工具"
    // with the batch window.
    QMenuBar *menuBar = nullptr;
    QMenu *viewMenu = nullptr;
    QAction *trafficMonitorAction = nullptr;
    QAction *trendChartAction = nullptr;
    // "工具": the batch window.
    QMenu *toolsMenu = nullptr;
    QAction *batchAction = nullptr;
    // "语言 / Language": the interface language of the next start.
    QMenu *languageMenu = nullptr;
    QAction *chineseAction = nullptr;
    QAction *englishAction = nullptr;

    // Status strip
    QLineEdit *receiveCountBox = nullptr;
    QLineEdit *timeoutCountBox = nullptr;
    QLabel *recordFileLabel = nullptr;
    QLabel *recordFileName = nullptr;
    QLabel *clockLabel = nullptr;
    QProgressBar *scanProgress = nullptr; // the address and framing a scan tries

    // Module information
    QLineEdit *addressBox = nullptr;
    QLineEdit *serialNumberBox = nullptr;
    QComboBox *sensorTypeList = nullptr;
    QComboBox *perChannelList = nullptr;
    QComboBox *channel8List = nullptr;
    QLineEdit *deviceIdBox = nullptr;
    QComboBox *moduleSpeedList = nullptr;
    QComboBox *filterList = nullptr;
    QComboBox *compensationList = nullptr;
    QComboBox *moduleProtocolList = nullptr;
    QLineEdit *coldJunctionBox = nullptr;
    QLineEdit *madeDateBox = nullptr;
    QLineEdit *madeTimeBox = nullptr;
    QComboBox *requestOutputList = nullptr;
    QComboBox *byteOutputList = nullptr;
    QLineEdit *parallelTimeBox = nullptr;
    QPushButton *writeModuleButton = nullptr;

    // Communication parameters (the PC side)
    PortList *portList = nullptr; // the system's ports too; an address may be typed
    QComboBox *lineSpeedList = nullptr;
    QComboBox *framingList = nullptr;
    QComboBox *moduleList = nullptr;
    QPushButton *scanButton = nullptr;
    QPushButton *stopButton = nullptr;
    QPushButton *runButton = nullptr;

    std::array<Lamp *, 20> inputLamps{};

    std::array<QLineEdit *, 8> measurementBoxes{};
    std::array<QLineEdit *, 8> calibrationBoxes{};
    QPushButton *writeCalibrationButton = nullptr;

    QGroupBox *sensorFrame = nullptr;
    std::array<QLabel *, 8> sensorChannelLabels{};
    std::array<QComboBox *, 8> channelSensorLists{};
    QPushButton *refreshSensorsButton = nullptr;
    QPushButton *setSensorsButton = nullptr;

    std::array<QPushButton *, 10> outputButtons{};

    QLineEdit *sentFrameBox = nullptr;
    QLineEdit *receivedFrameBox = nullptr;
    QLineEdit *statusBox = nullptr;
    QPushButton *controlEditorButton = nullptr;
    QPushButton *alarmEditorButton = nullptr;
    QPushButton *recordButton = nullptr;
    QPushButton *endButton = nullptr;

private:
    QMenuBar *buildMenuBar();
    QWidget *buildStatusStrip();
    QGroupBox *buildModuleFrame();
    QGroupBox *buildLineFrame();
    QWidget *buildLampColumn();
    QWidget *buildChannelRows();
    QGroupBox *buildSensorFrame();
    QWidget *buildOutputRow();
    QWidget *buildBottom();

    QGridLayout *m_channelGrid = nullptr;
    QGridLayout *m_sensorGrid = nullptr;
    QWidget *m_sensorIndent = nullptr;
    QWidget *m_sensorButtons = nullptr;
};

} // namespace krv
