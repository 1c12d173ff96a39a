#pragma once
// The module's registers as the main window reads them, and the decoding of
// the confirmed replies into values. Each decoder gives nothing when the reply
// is shorter than its layout needs.

#include "module/moduledata.h"
#include "protocol/requests.h"

#include <optional>

namespace krv {

// Start registers of the function-03 reads.
namespace Reg {
constexpr quint16 Measurements = 0x0000;
constexpr quint16 SystemBlock = 0x0012;
constexpr quint16 SensorCodes = 0x0062;
constexpr quint16 ParallelOutputTime = 0x0072;
constexpr quint16 Calibration = 0x0082;
constexpr quint16 ModuleControl = 0x01F8;
// Coils and discrete inputs.
constexpr quint16 ControlEnableCoil = 0x0030;
constexpr quint16 InputsFrom52 = 0x0010; // firmware 5.2 on; before, from 0
} // namespace Reg

// Registers of the system block: 10 from firmware 5.3 on, 6 before.
int systemBlockRegisters(int version);
// Where the switch inputs start for a module of this firmware.
quint16 inputsStart(int version);

// A register list (measurements, sensor codes, calibration): as many registers
// as the byte count says, at most eight.
std::optional<ChannelValues> decodeChannelValues(const ReplyReader &reply);
std::optional<SystemBlock> decodeSystemBlock(const ReplyReader &reply, int version);
// The parallel-port output time in microseconds.
std::optional<double> decodeParallelOutputTime(const ReplyReader &reply);
double parallelOutputMicros(quint16 registerValue);
std::optional<ModuleControl> decodeModuleControlReply(const ReplyReader &reply, int version);
// Coils 0..8 (a reply of byte count 2).
std::optional<std::array<bool, SwitchOutputCount>> decodeSwitchOutputs(const ReplyReader &reply);
// Coil 0x30 (a reply of byte count 1).
std::optional<bool> decodeControlEnable(const ReplyReader &reply);
std::optional<std::array<bool, InputCount>> decodeSwitchInputs(const ReplyReader &reply);
std::optional<DeviceId> decodeDeviceId(const ReplyReader &reply);

} // namespace krv
