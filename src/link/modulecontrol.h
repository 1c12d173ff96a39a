#pragma once
// The module control block (three registers from 0x01F8): request output,
// serial active output, register addressing, start mode of temperature
// control and the number of measured channels. The main window reads it and
// the alarm editor reads and writes it as its block 8; both keep the decoded
// values in ModuleData, where the main window's system writes find them.

#include "link/shareddata.h"

#include <QByteArrayView>

namespace krv {

// Sets AddrContinuous, SerialOutCount, RequestOut, StartControl and
// MeasChannels from the block's six register bytes (high byte first).
// Continuous addressing exists from firmware 5.3 on: an older module's bit 15
// means nothing, so AddrContinuous stays 0 there. Fewer than six bytes change
// nothing.
void decodeModuleControl(ModuleData &m, QByteArrayView regBytes);

} // namespace krv
