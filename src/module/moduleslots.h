#pragma once
// The module slot table: the station address and framing of each module the
// tool knows (slot 0 and the slots a scan fills), and which one is selected.
// Every request goes to the selected slot's station in its framing.

#include <QtGlobal>

#include <array>

namespace krv {

struct ModuleSlots
{
    static constexpr int Count = 513; // slots 0..512
    qint16 selected = 0;
    std::array<qint16, Count> stationAddress{};
    std::array<bool, Count> ascii{}; // framing: true = Modbus ASCII, false = RTU

    static bool validIndex(int i) { return i >= 0 && i < Count; }
    // The selected slot's entries; a stray index reads slot 0 instead of past the table.
    qint16 &selectedAddress() { return stationAddress[clamped()]; }
    qint16 selectedAddress() const { return stationAddress[clamped()]; }
    quint8 selectedStation() const { return static_cast<quint8>(selectedAddress() & 0xFF); }
    bool selectedIsAscii() const { return ascii[clamped()]; }
    void setSelectedAscii(bool on) { ascii[clamped()] = on; }

private:
    int clamped() const { return validIndex(selected) ? selected : 0; }
};

} // namespace krv
