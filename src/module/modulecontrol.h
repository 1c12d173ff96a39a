#pragma once
// The module control block (three registers from 0x01F8): request output,
// serial active output, register addressing, start mode of temperature
// control and the number of measured channels. The main window reads it and
// the alarm editor reads and writes it as its block 8; both keep the decoded
// values in the module data, where the main window's system writes find them.

#include "module/moduledata.h"

#include <QByteArrayView>

#include <optional>

namespace krv {

// The values in the block's six register bytes (high byte first), for a
// module of firmware `version`: continuous addressing exists from 5.3 on, so
// an older module's bit 15 means nothing. Fewer than six bytes give nothing.
std::optional<ModuleControl> decodeModuleControl(QByteArrayView registerBytes, int version);

} // namespace krv
