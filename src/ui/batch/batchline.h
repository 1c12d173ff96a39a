#pragma once
// What the batch window needs from the window that owns the line (the main
// window): the modules of its last scan, and the line itself for the length
// of a batch, handed over as to a parameter editor.

#include "link/batchjob.h"
#include "link/linelender.h"

#include <QList>

#include <optional>

namespace krv {

class BatchLineOwner
{
public:
    virtual ~BatchLineOwner() = default;
    // The modules the last scan found, in the order of the module list.
    virtual QList<BatchTarget> scannedModules() const = 0;
    // Stops using the line and lends it for a batch: its port and speed. When
    // it cannot (no usable port or speed, a scan or an editor using the line)
    // the owner has told the operator why, and nothing is lent.
    virtual std::optional<LineChoice> lendLineForBatch() = 0;
    // The batch has ended and its port is closed: the owner takes the line
    // back and goes on as before the batch.
    virtual void takeBackLineFromBatch() = 0;
};

} // namespace krv
