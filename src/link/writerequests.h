#pragma once
// The main window's writes: single-register writes of the system registers,
// channel sensor codes and calibration values, and single-coil writes of the
// switch outputs. Each takes its value from the shared state when its polling
// tick sends it. Also the button logic that decides what to push.

#include "link/shareddata.h"
#include "link/transactionengine.h"

#include <QObject>
#include <QStringList>

#include <array>
#include <optional>

namespace krv {

// Request codes on the command stack.
namespace Cmd {
constexpr qint16 ReadOutputs = 1;
constexpr qint16 ReadInputs = 2;
constexpr qint16 ReadMeasurements = 3;
constexpr qint16 ReadSystem = 4;
constexpr qint16 WriteOutput = 5;
constexpr qint16 ReadDeviceId = 17;
constexpr qint16 ReadControlEnable = 0x2030;
constexpr qint16 ReadSensorCodes = 0x3062;
constexpr qint16 ReadPOutTime = 0x3072;
constexpr qint16 ReadCalibration = 0x3082;
constexpr qint16 ReadModuleControl = 0x31F8;
constexpr qint16 WriteCommByte = 0x6014;
constexpr qint16 WriteSensorByte = 0x6015;
constexpr qint16 WriteAddress = 0x601C;
constexpr qint16 WriteColdAdj = 0x601D;
constexpr qint16 WriteSensorCode0 = 0x6062;  // + channel
constexpr qint16 WriteCalibration0 = 0x6082; // + 2 * channel
} // namespace Cmd

// Pushes a request code; a full stack refuses it and says so on the status line.
bool pushCommand(SharedState &state, TransactionEngine &engine, qint16 code);

// The module-information drop-downs as the operator left them: the selected
// list index, or -1 when nothing was picked (a shown text is not a pick).
struct SysParamSelection
{
    int SysSensor = -1;
    int Seperate = -1;
    int Chnl8 = -1;
    int Comp = -1;
    int Filter = -1;
    int Baud = -1;
    int OutByte = -1;
    int Request = -1;
    int ProtocolSel = -1;
};

class WriteRequests : public QObject
{
    Q_OBJECT
public:
    WriteRequests(SharedState &state, TransactionEngine &engine, QObject *parent = nullptr);

    void PutSysBaud();
    void PutSysSensor();
    void PutSysAddress();
    void PutSysAdjAD590();
    void PutChnlSensor(int channel);
    void PutECalb(int channel);
    void PutDO();

    // Folds the operator's picks, the new address and calibration value into the
    // shared system values and sets the four change flags.
    void ChangeParameter(const SysParamSelection &sel, int address, qint32 adj);

    // "写模块参数" after the operator confirmed: checks the two text boxes and
    // returns the name of the first bad field (nothing pushed), else pushes the
    // read-back and the flagged writes.
    std::optional<QString> writeModuleParameters(const SysParamSelection &sel,
                                                 const QString &addressText,
                                                 const QString &adjText);
    // "设 置" after confirmation: channels with a picked index (>= 0) are written.
    void writeChannelSensors(const std::array<int, 8> &picked);
    // "写工程校准": writes the channels whose box differs from the value read.
    // Boxes that hold no whole number in -32768..32767 are skipped; returns
    // their channel numbers.
    QList<int> writeCalibration(const std::array<QString, 8> &texts);
    // "DOut0".."DOut8", "控温": toggles the output against its last read state.
    void toggleOutput(int index);

private:
    void writeRegister(quint8 function, quint16 reg, qint32 value);

    SharedState &m_state;
    TransactionEngine &m_engine;
};

} // namespace krv
