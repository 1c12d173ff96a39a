#pragma once
// The command stack the main window's polling tick drains: request codes pushed
// by buttons and by the polling cycle itself, the newest run first. Entry 0 is
// the base entry that the rotation rewrites and is never popped.

#include <QtGlobal>

#include <algorithm>
#include <array>

namespace krv {

// Request codes kept on the stack.
namespace Cmd {
constexpr qint16 ReadOutputs = 1;
constexpr qint16 ReadInputs = 2;
constexpr qint16 ReadMeasurements = 3;
constexpr qint16 ReadSystem = 4;
constexpr qint16 WriteOutput = 5;
constexpr qint16 ReadDeviceId = 17;
constexpr qint16 ReadControlEnable = 0x2030;
constexpr qint16 ReadSensorCodes = 0x3062;
constexpr qint16 ReadParallelTime = 0x3072;
constexpr qint16 ReadCalibration = 0x3082;
constexpr qint16 ReadModuleControl = 0x31F8;
constexpr qint16 WriteCommByte = 0x6014;
constexpr qint16 WriteSensorByte = 0x6015;
constexpr qint16 WriteAddress = 0x601C;
constexpr qint16 WriteColdJunction = 0x601D;
constexpr qint16 WriteSensorCode0 = 0x6062;  // + channel 0..7
constexpr qint16 WriteCalibration0 = 0x6082; // + 2 * channel 0..7
} // namespace Cmd

struct CommandStack
{
    static constexpr int Size = 31; // entries 0..30
    std::array<qint16, Size> entries{};
    qint16 topIndex = 0;

    // Refuses (returns false) when all 30 entries above the base are taken.
    bool push(qint16 code)
    {
        if (topIndex >= Size - 1)
            return false;
        ++topIndex;
        entries[topIndex] = code;
        return true;
    }

    // The code the next tick runs; the tick then calls popAfterRun().
    qint16 top() const { return entries[topIndex]; }
    // After the top entry ran: pops it, or, for the base entry, advances the
    // rotation (outputs, inputs, measurements, control enable, and again).
    void popAfterRun(qint16 ran)
    {
        if (topIndex > 0) {
            --topIndex;
            return;
        }
        switch (ran) {
        case Cmd::ReadOutputs:
            entries[0] = Cmd::ReadInputs;
            break;
        case Cmd::ReadInputs:
            entries[0] = Cmd::ReadMeasurements;
            break;
        case Cmd::ReadMeasurements:
            entries[0] = Cmd::ReadControlEnable;
            break;
        case Cmd::ReadControlEnable:
            entries[0] = Cmd::ReadOutputs;
            break;
        default:
            break; // any other base code stays and repeats
        }
    }

    // The start burst: the first nine ticks read everything the window shows,
    // then the rotation begins with the measurements.
    void loadStartBurst()
    {
        const std::array<qint16, 9> burst = {
            Cmd::ReadMeasurements, Cmd::ReadInputs,      Cmd::ReadOutputs,
            Cmd::ReadDeviceId,     Cmd::ReadSystem,      Cmd::ReadSensorCodes,
            Cmd::ReadParallelTime, Cmd::ReadCalibration, Cmd::ReadModuleControl};
        std::copy(burst.begin(), burst.end(), entries.begin());
        topIndex = 8;
    }
};

} // namespace krv
