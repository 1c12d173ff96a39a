#include "registercodecs.h"

namespace krv {

namespace {
bool validRecord(int i)
{
    return i >= 0 && i < 9;
}

std::array<qint16 *, 7> controlWords(ControlParaRecord &r)
{
    return {&r.StepInSel, &r.PhaseSam, &r.SetVal, &r.SerD0, &r.SerD1, &r.SerD2, &r.CtrlArea};
}

std::array<qint32 *, 3> alarmValues(AlarmParaRecord &r)
{
    return {&r.Reg0, &r.Reg1, &r.Reg2};
}
} // namespace

void packRegister(qint32 v, quint8 &high, quint8 &low)
{
    const quint32 u = static_cast<quint32>(v) & 0xFFFFu;
    high = static_cast<quint8>(u >> 8);
    low = static_cast<quint8>(u & 0xFF);
}

qint16 unpackRegister(quint8 high, quint8 low)
{
    return static_cast<qint16>(static_cast<quint16>(high << 8 | low));
}

void ControlParaToBytes(ParameterTables &t, int i)
{
    if (!validRecord(i))
        return;
    auto &r = t.CtrlPara[i];
    const auto words = controlWords(r);
    for (int k = 0; k < 7; ++k)
        packRegister(*words[k], r.RegBytes[2 * k], r.RegBytes[2 * k + 1]);
}

void BytesToControlPara(ParameterTables &t, int i)
{
    if (!validRecord(i))
        return;
    auto &r = t.CtrlPara[i];
    const auto words = controlWords(r);
    for (int k = 0; k < 7; ++k)
        *words[k] = unpackRegister(r.RegBytes[2 * k], r.RegBytes[2 * k + 1]);
}

void AlarmParaToBytes(ParameterTables &t, int i)
{
    if (!validRecord(i))
        return;
    auto &r = t.AlarmPara[i];
    const auto values = alarmValues(r);
    for (int k = 0; k < 3; ++k)
        packRegister(*values[k], r.RegBytes[2 * k], r.RegBytes[2 * k + 1]);
}

void BytesToAlarmPara(ParameterTables &t, int i)
{
    if (!validRecord(i))
        return;
    auto &r = t.AlarmPara[i];
    const auto values = alarmValues(r);
    for (int k = 0; k < 3; ++k)
        *values[k] = unpackRegister(r.RegBytes[2 * k], r.RegBytes[2 * k + 1]);
}

} // namespace krv
