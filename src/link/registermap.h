#pragma once
// The main window's reads: the request of each, and the dispatch of every
// confirmed reply to its decoding. What a reply told is kept in the shared
// module data (the writes and the alarm editor build on it) and carried by
// the signal the windows show it from.

#include "link/sharedstate.h"
#include "link/transactionengine.h"
#include "module/moduledata.h"

#include <QObject>

#include <utility>

namespace krv {

using SwitchOutputs = std::array<bool, SwitchOutputCount>;
using SwitchInputs = std::array<bool, InputCount>;

class RegisterMap : public QObject
{
    Q_OBJECT
public:
    RegisterMap(SharedState &state, TransactionEngine &engine, QObject *parent = nullptr);

    void readMeasurements();
    void readSystemBlock();
    void readSensorCodes();
    void readParallelOutputTime();
    void readCalibration();
    void readModuleControl();
    void readSwitchOutputs();
    void readControlEnable();
    void readSwitchInputs();
    void readDeviceId();

    // Decodes a confirmed reply by its function code (and, for function 03,
    // by the start register its request read). The switch inputs, the system
    // block and the module control block are laid out by the firmware: they
    // are not decoded before the module has identified itself.
    void dispatch(const Request &request, const ReplyReader &reply);
    // True once a system or module control block was refused since the last
    // call (they are read again after the identification).
    bool takeRefusedBeforeIdentification() { return std::exchange(m_refusedEarly, false); }

Q_SIGNALS:
    // `record`: a function-03 reply, which the record file takes.
    void measurementsDecoded(const krv::ChannelValues &values, bool record);
    void systemBlockDecoded(const krv::SystemBlock &block);
    void sensorCodesDecoded(const krv::ChannelValues &codes);
    void parallelOutputTimeDecoded(double micros);
    void calibrationDecoded(const krv::ChannelValues &values);
    void moduleControlDecoded(const krv::ModuleControl &control);
    void switchOutputsDecoded(const krv::SwitchOutputs &on);
    void controlEnableDecoded(bool on);
    void switchInputsDecoded(const krv::SwitchInputs &on);
    // The identifier reply: the module and its firmware, and the firmware
    // version (major × 10 + minor) it replaced.
    void deviceIdentified(const krv::DeviceId &id, int previousVersion);

private:
    void read(LinkStatus::Code status, quint8 function, quint16 start = 0, quint16 count = 0);
    void setStatus(LinkStatus::Code code) { m_engine.setStatus({code}); }
    void dispatchRegisters(quint16 start, const ReplyReader &reply);
    void dispatchCoils(const ReplyReader &reply);
    // The value a decoder gave, or a report of the short reply.
    template <class T> bool decoded(const std::optional<T> &value);
    // False (and said) while the firmware that lays out the reply is unknown;
    // `readAgain`: the refused block is to be read again once it is known.
    bool firmwareKnown(bool readAgain);

    SharedState &m_state;
    TransactionEngine &m_engine;
    bool m_refusedEarly = false;
};

} // namespace krv
