#include "replydecoding.h"

#include "module/modulecontrol.h"

namespace krv {

int systemBlockRegisters(int version)
{
    return version >= 53 ? 10 : 6;
}

quint16 inputsStart(int version)
{
    return version > 51 ? Reg::InputsFrom52 : 0x0000;
}

std::optional<ChannelValues> decodeChannelValues(const ReplyReader &reply)
{
    if (!reply.has(3))
        return std::nullopt;
    ChannelValues out;
    out.count = qMin(reply.byteCount() / 2, ChannelCount);
    if (!reply.has(3 + 2 * out.count))
        return std::nullopt;
    for (int k = 0; k < out.count; ++k)
        out.values[k] = reply.signedRegister(k);
    return out;
}

std::optional<SystemBlock> decodeSystemBlock(const ReplyReader &reply, int version)
{
    const bool longBlock = version >= 53;
    if (!reply.has(longBlock ? 23 : 15))
        return std::nullopt;
    SystemBlock s;
    s.serialNumber = reply.unsignedRegister(0);
    if (longBlock) {
        s.commByte = reply.byte(6);
        s.sensorByte = reply.byte(8);
        s.year = reply.unsignedRegister(3);
        s.month = reply.byte(12);
        s.day = reply.byte(14);
        s.hour = reply.byte(16);
        s.minute = reply.byte(18);
        s.stationAddress = reply.byte(20);
        s.coldJunctionAdjust = reply.signedRegister(9);
    } else {
        s.sensorByte = reply.byte(5);
        s.commByte = reply.byte(6);
        s.year = reply.unsignedRegister(2);
        s.day = reply.byte(9);
        s.month = reply.byte(10);
        s.minute = reply.byte(11);
        s.hour = reply.byte(12);
        s.coldJunctionAdjust = reply.byte(13);
        s.stationAddress = reply.byte(14);
    }
    return s;
}

double parallelOutputMicros(quint16 registerValue)
{
    return (65536.0 - registerValue) * 12 / 11.0592;
}

std::optional<double> decodeParallelOutputTime(const ReplyReader &reply)
{
    if (!reply.has(5))
        return std::nullopt;
    return parallelOutputMicros(reply.unsignedRegister(0));
}

std::optional<ModuleControl> decodeModuleControlReply(const ReplyReader &reply, int version)
{
    if (!reply.has(9))
        return std::nullopt;
    return decodeModuleControl(reply.bytes(3, 6), version);
}

namespace {
// N coils or inputs from the data bytes of a bit reply, lowest bit first.
template <int N> std::optional<std::array<bool, N>> decodeBits(const ReplyReader &reply)
{
    constexpr int Bytes = (N + 7) / 8;
    if (!reply.has(3 + Bytes))
        return std::nullopt;
    std::array<bool, N> out{};
    for (int k = 0; k < N; ++k)
        out[k] = (reply.byte(3 + k / 8) >> (k % 8)) & 1;
    return out;
}
} // namespace

std::optional<std::array<bool, SwitchOutputCount>> decodeSwitchOutputs(const ReplyReader &reply)
{
    return decodeBits<SwitchOutputCount>(reply);
}

std::optional<bool> decodeControlEnable(const ReplyReader &reply)
{
    if (!reply.has(4))
        return std::nullopt;
    return (reply.byte(3) & 1) != 0;
}

std::optional<std::array<bool, InputCount>> decodeSwitchInputs(const ReplyReader &reply)
{
    return decodeBits<InputCount>(reply);
}

std::optional<DeviceId> decodeDeviceId(const ReplyReader &reply)
{
    if (!reply.has(19))
        return std::nullopt;
    return DeviceId{reply.bytes(3, 14).toByteArray(), reply.byte(17), reply.byte(18)};
}

} // namespace krv
