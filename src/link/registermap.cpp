#include "registermap.h"

#include "module/replydecoding.h"

namespace krv {

using Code = LinkStatus::Code;

RegisterMap::RegisterMap(SharedState &state, TransactionEngine &engine, QObject *parent)
    : QObject(parent), m_state(state), m_engine(engine)
{}

void RegisterMap::read(Code status, quint8 function, quint16 start, quint16 count)
{
    setStatus(status);
    m_engine.send(buildRequest(m_state.moduleSlots.selectedStation(), function, start, count));
}

void RegisterMap::readMeasurements()
{
    read(Code::ReadingMeasurements, Fn::ReadHolding, Reg::Measurements, ChannelCount);
}

void RegisterMap::readSystemBlock()
{
    read(Code::ReadingSystemBlock, Fn::ReadHolding, Reg::SystemBlock,
         static_cast<quint16>(systemBlockRegisters(m_state.module.version())));
}

void RegisterMap::readSensorCodes()
{
    read(Code::ReadingSensorCodes, Fn::ReadHolding, Reg::SensorCodes, ChannelCount);
}

void RegisterMap::readParallelOutputTime()
{
    read(Code::ReadingParallelTime, Fn::ReadHolding, Reg::ParallelOutputTime, 1);
}

void RegisterMap::readCalibration()
{
    read(Code::ReadingCalibration, Fn::ReadHolding, Reg::Calibration, ChannelCount);
}

void RegisterMap::readModuleControl()
{
    read(Code::ReadingModuleControl, Fn::ReadHolding, Reg::ModuleControl, 3);
}

void RegisterMap::readSwitchOutputs()
{
    read(Code::ReadingOutputs, Fn::ReadCoils, 0x0000, SwitchOutputCount);
}

void RegisterMap::readControlEnable()
{
    read(Code::ReadingControlEnable, Fn::ReadCoils, Reg::ControlEnableCoil, 1);
}

void RegisterMap::readSwitchInputs()
{
    read(Code::ReadingInputs, Fn::ReadInputs, inputsStart(m_state.module.version()), InputCount);
}

void RegisterMap::readDeviceId()
{
    read(Code::ReadingDeviceId, Fn::ReportId);
}

bool RegisterMap::firmwareKnown(bool readAgain)
{
    if (m_state.module.firmwareKnown)
        return true;
    m_refusedEarly = m_refusedEarly || readAgain;
    setStatus(Code::AwaitingIdentification);
    return false;
}

template <class T> bool RegisterMap::decoded(const std::optional<T> &value)
{
    if (!value)
        setStatus(Code::WrongLength);
    return value.has_value();
}

void RegisterMap::dispatch(const Request &request, const ReplyReader &reply)
{
    if (!reply.has(2)) {
        setStatus(Code::WrongLength);
        return;
    }
    ModuleData &m = m_state.module;
    switch (reply.function()) {
    case Fn::ReadCoils:
        dispatchCoils(reply);
        return;
    case Fn::ReadInputs:
        // The rotation reads the inputs again soon.
        if (!firmwareKnown(false))
            return;
        if (const auto inputs = decodeSwitchInputs(reply); decoded(inputs)) {
            setStatus(Code::InputsRead);
            std::copy(inputs->begin(), inputs->end(), m.inputs.begin());
            Q_EMIT switchInputsDecoded(*inputs);
        }
        return;
    case Fn::ReadHolding:
        dispatchRegisters(request.start(), reply);
        return;
    case Fn::ReadInputRegisters:
        if (const auto values = decodeChannelValues(reply); decoded(values)) {
            setStatus(Code::InputRegistersRead);
            m.measurements = *values;
            Q_EMIT measurementsDecoded(*values, false);
        }
        return;
    case Fn::WriteCoil:
        setStatus(Code::OutputWritten);
        return;
    case Fn::WriteRegister:
        setStatus(Code::SystemRegisterWritten);
        return;
    case Fn::ReportId:
        if (const auto id = decodeDeviceId(reply); decoded(id)) {
            setStatus(Code::DeviceIdRead);
            const int before = m.version();
            m.firmwareMajor = id->major;
            m.firmwareMinor = id->minor;
            m.firmwareKnown = true;
            Q_EMIT deviceIdentified(*id, before);
        }
        return;
    default:
        setStatus(Code::UnknownFunction);
        return;
    }
}

void RegisterMap::dispatchRegisters(quint16 start, const ReplyReader &reply)
{
    ModuleData &m = m_state.module;
    switch (start) {
    case Reg::Measurements:
        if (const auto values = decodeChannelValues(reply); decoded(values)) {
            setStatus(Code::MeasurementsRead);
            m.measurements = *values;
            Q_EMIT measurementsDecoded(*values, true);
        }
        return;
    case Reg::SystemBlock:
        if (!firmwareKnown(true))
            return;
        if (const auto block = decodeSystemBlock(reply, m.version()); decoded(block)) {
            setStatus(Code::SystemBlockRead);
            m.system = *block;
            Q_EMIT systemBlockDecoded(*block);
        }
        return;
    case Reg::SensorCodes:
        if (const auto codes = decodeChannelValues(reply); decoded(codes)) {
            setStatus(Code::SensorCodesRead);
            std::copy_n(codes->values.begin(), codes->count, m.sensorCodes.begin());
            Q_EMIT sensorCodesDecoded(*codes);
        }
        return;
    case Reg::ParallelOutputTime:
        if (const auto micros = decodeParallelOutputTime(reply); decoded(micros)) {
            setStatus(Code::ParallelTimeRead);
            Q_EMIT parallelOutputTimeDecoded(*micros);
        }
        return;
    case Reg::Calibration:
        if (const auto values = decodeChannelValues(reply); decoded(values)) {
            setStatus(Code::CalibrationRead);
            for (int k = 0; k < values->count; ++k)
                m.calibration[k] = static_cast<qint16>(values->values[k]);
            Q_EMIT calibrationDecoded(*values);
        }
        return;
    case Reg::ModuleControl:
        if (!firmwareKnown(true))
            return;
        if (const auto control = decodeModuleControlReply(reply, m.version()); decoded(control)) {
            m.control = *control;
            Q_EMIT moduleControlDecoded(*control);
        }
        return;
    default:
        setStatus(Code::UnknownStartRegister);
        return;
    }
}

void RegisterMap::dispatchCoils(const ReplyReader &reply)
{
    if (!reply.has(3)) {
        setStatus(Code::WrongLength);
        return;
    }
    ModuleData &m = m_state.module;
    if (reply.byteCount() == 2) {
        if (const auto outputs = decodeSwitchOutputs(reply); decoded(outputs)) {
            setStatus(Code::OutputsRead);
            std::copy(outputs->begin(), outputs->end(), m.outputs.begin());
            Q_EMIT switchOutputsDecoded(*outputs);
        }
    } else if (reply.byteCount() == 1) {
        if (const auto on = decodeControlEnable(reply); decoded(on)) {
            setStatus(Code::ControlEnableRead);
            m.outputs[ControlEnableIndex] = *on;
            Q_EMIT controlEnableDecoded(*on);
        }
    }
}

} // namespace krv
