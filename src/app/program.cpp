#include "program.h"

namespace krv {

Program::Program(SerialPortComponent &comm1, Asker &asker)
    : engine(state, comm1, TransactionEngine::Config{}), registerMap(state, engine),
      writes(state, engine), polling(state, engine, registerMap, writes),
      form1(Form1::Links{state, engine, registerMap, writes, polling}, asker)
{
    engine.setDispatcher([this] { registerMap.dispatch(); });
}

} // namespace krv
