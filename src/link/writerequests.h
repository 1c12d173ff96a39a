#pragma once
// The main window's writes: single-register writes of the system registers,
// channel sensor codes and calibration values, and single-coil writes of the
// switch outputs. Each takes its value from the shared state when its polling
// tick sends it. Also the button logic that decides what to push.

#include "link/commandstack.h"
#include "link/shareddata.h"
#include "link/transactionengine.h"

#include <QObject>

#include <array>
#include <optional>

namespace krv {

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

    // A text box of the module information that holds no usable number.
    enum class BadField { Address, ColdAdj };
    // "写模块参数" after the operator confirmed: checks the two text boxes and
    // returns the first bad one (nothing pushed), else pushes the read-back and
    // the flagged writes.
    std::optional<BadField> writeModuleParameters(const SysParamSelection &sel,
                                                  const QString &addressText,
                                                  const QString &adjText);
    // "设 置" after confirmation: channels with a picked index (>= 0) are written.
    void writeChannelSensors(const std::array<int, 8> &picked);
    // "写工程校准": writes the channels whose box differs from the value read.
    // Boxes that hold no whole number in -32768..32767 are skipped (the others
    // are still written); returns the skipped channel numbers.
    QList<int> writeCalibration(const std::array<QString, 8> &texts);
    // "DOut0".."DOut8", "控温": toggles the output against its last read state.
    void toggleOutput(int index);

private:
    void writeRegister(quint8 function, quint16 reg, qint32 value);

    SharedState &m_state;
    TransactionEngine &m_engine;
};

} // namespace krv
