#pragma once
// Parameter block records of the two editors and the conversions between their
// values and the register image that travels in Modbus frames (high byte first).

#include <QtGlobal>

#include <array>

namespace krv {

struct ControlParaRecord
{
    qint16 StepInSel = 0; // high: start order, low: input channel
    qint16 PhaseSam = 0;  // high: phase offset, low: sample time
    qint16 SetVal = 0;
    qint16 SerD0 = 0;
    qint16 SerD1 = 0;
    qint16 SerD2 = 0;
    qint16 CtrlArea = 0;
    std::array<quint8, 31> RegBytes{};
};

struct AlarmParaRecord
{
    qint32 Reg0 = 0;
    qint32 Reg1 = 0;
    qint32 Reg2 = 0;
    std::array<quint8, 31> RegBytes{};
};

struct ParameterTables
{
    std::array<ControlParaRecord, 9> CtrlPara{};
    std::array<AlarmParaRecord, 9> AlarmPara{};
};

// One register value to its two bytes: values below zero are taken modulo 65536.
void packRegister(qint32 v, quint8 &high, quint8 &low);
// Two register bytes to a value in -32768..32767.
qint16 unpackRegister(quint8 high, quint8 low);

// Record indexes outside 0..8 are ignored.
void ControlParaToBytes(ParameterTables &t, int i);
void BytesToControlPara(ParameterTables &t, int i);
// Alarm values outside -65536..65535 do not fit a register; they are packed from
// their low 16 bits, the image a register would hold.
void AlarmParaToBytes(ParameterTables &t, int i);
void BytesToAlarmPara(ParameterTables &t, int i);

} // namespace krv
