#pragma once
// The main window's writes: single-register writes of the system registers,
// channel sensor codes and calibration values, and single-coil writes of the
// switch outputs. A button pushes the writes (and a read-back below them) on
// the command stack; each write takes its value from the module data when its
// polling tick sends it.

#include "link/commandstack.h"
#include "link/sharedstate.h"
#include "link/transactionengine.h"
#include "module/alarmrecord.h"
#include "module/inputrefusal.h"

#include <QList>
#include <QObject>

#include <array>
#include <optional>

namespace krv {

namespace SystemRange {
// "地  址": a module's own station address (0 is the broadcast station, which
// no module answers).
constexpr FieldRange StationAddress{1, 255};
// "冷校准": one signed byte.
constexpr FieldRange ColdJunction{-128, 127};
} // namespace SystemRange

// Pushes a request code; a full stack refuses it and says so on the status line.
bool pushCommand(CommandStack &stack, TransactionEngine &engine, qint16 code);

// The module-information drop-downs as the operator left them: the selected
// list index, or -1 when nothing was picked (a shown text is not a pick).
struct SystemSelection
{
    int sensorType = -1;
    int perChannel = -1; // sensors set per channel ("单独设")
    int channel8 = -1;   // channel 8 measures or is the AD590
    int compensation = -1;
    int filter = -1;
    int baudRate = -1;
    int byteOutput = -1;
    int requestOutput = -1;
    int protocol = -1;
};

// Which system registers differ from the module data after a selection.
struct SystemChanges
{
    bool commByte = false;
    bool sensorByte = false;
    bool stationAddress = false;
    bool coldJunction = false;
};

class WriteRequests : public QObject
{
    Q_OBJECT
public:
    WriteRequests(SharedState &state, TransactionEngine &engine, QObject *parent = nullptr);

    // The requests, as a polling tick sends them.
    void sendCommByte();
    void sendSensorByte();
    void sendStationAddress();
    void sendColdJunctionAdjust();
    void sendSensorCode(int channel);
    void sendCalibration(int channel);
    void sendOutputSwitch();

    // Folds the operator's picks, the new address and cold-junction value
    // (within their SystemRange, as writeModuleParameters checked them) into
    // the module's system values and tells which of them changed.
    SystemChanges applySelection(const SystemSelection &selection, int address, qint32 coldAdjust);

    // "写模块参数" after the operator confirmed: checks the two text boxes
    // (whole numbers within their SystemRange) and refuses the first bad one
    // (nothing pushed), else pushes the read-back and the changed registers'
    // writes.
    std::optional<InputRefusal> writeModuleParameters(const SystemSelection &selection,
                                                      const QString &addressText,
                                                      const QString &coldAdjustText);
    // "设 置" after confirmation: channels with a picked index (>= 0) are written.
    void writeChannelSensors(const std::array<int, ChannelCount> &picked);
    // "写工程校准": writes the channels whose box differs from the value read.
    // Boxes that hold no whole number in -32768..32767 are refused (the others
    // are still written).
    QList<InputRefusal> writeCalibration(const std::array<QString, ChannelCount> &texts);
    // "DOut0".."DOut8", "控温": toggles the output against its last read state.
    void toggleOutput(int index);

private:
    void writeRegister(quint8 function, quint16 reg, qint32 value);
    bool push(qint16 code) { return pushCommand(m_state.commandStack, m_engine, code); }

    SharedState &m_state;
    TransactionEngine &m_engine;
    // The output the next switch write sets, and whether it switches it on.
    int m_outputIndex = 0;
    bool m_outputOn = false;
};

} // namespace krv
