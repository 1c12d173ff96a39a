#pragma once
// The program-wide state: owned by no window, created once in main() and handed
// by reference to every window and link class (a test builds a fresh one). It
// holds what several windows use: the module slots, the selected module's
// data and the main window's command stack.

#include "link/commandstack.h"
#include "module/moduledata.h"
#include "module/moduleslots.h"

namespace krv {

struct SharedState
{
    ModuleSlots moduleSlots;
    ModuleData module; // the selected module, as its replies told it
    CommandStack commandStack;
};

} // namespace krv
