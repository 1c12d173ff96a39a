#pragma once
// A main-window link without a window: shared state, in-memory port, engine,
// register map, writes and polling cycle, wired as the application wires them.

#include "link/pollingcycle.h"
#include "protocol/modbusframing.h"
#include "testsupport.h"

#include <QStringList>

struct LinkFixture
{
    krv::SharedState state;
    krv::MemoryPortComponent port;
    krv::TransactionEngine engine{state, port, {}};
    krv::RegisterMap reads{state, engine};
    krv::WriteRequests writes{state, engine};
    krv::PollingCycle cycle{state, engine, reads, writes};

    QString status, sentText, receivedText, commText, errText;
    QStringList found;
    int measured = 0;
    bool systemShown = false;

    LinkFixture()
    {
        engine.setDispatcher([this] { reads.dispatch(); });
        QObject::connect(&engine, &krv::TransactionEngine::statusText,
                         [this](const QString &t) { status = t; });
        QObject::connect(&engine, &krv::TransactionEngine::sentFrameText,
                         [this](const QString &t) { sentText = t; });
        QObject::connect(&engine, &krv::TransactionEngine::receivedFrameText,
                         [this](const QString &t) { receivedText = t; });
        QObject::connect(&engine, &krv::TransactionEngine::commCountText,
                         [this](const QString &t) { commText = t; });
        QObject::connect(&engine, &krv::TransactionEngine::errCountText,
                         [this](const QString &t) { errText = t; });
        QObject::connect(&cycle, &krv::PollingCycle::moduleFound,
                         [this](const QString &item, int) { found << item; });
        QObject::connect(&reads, &krv::RegisterMap::measurementsDecoded,
                         [this](int, bool) { ++measured; });
        QObject::connect(&reads, &krv::RegisterMap::systemBlockDecoded,
                         [this] { systemShown = true; });
        cycle.load({1, QStringLiteral("9600"), 3});
    }

    // Points the current slot at a module.
    void useModule(qint16 address, bool ascii)
    {
        state.mods.ModIndex = 1;
        state.mods.ModAddress[1] = address;
        state.mods.AsciiMode[1] = ascii ? krv::True16 : krv::False16;
    }

    QByteArray lastSent() const { return testsupport::lastSent(port); }

    // The reply body framed as the current slot frames it, then delivered.
    void reply(const QByteArray &body, int chunks = 1)
    {
        deliver(testsupport::framed(body, state.mods.isAscii()), chunks);
    }
    // Hands a reply body straight to the dispatch, as if it had been received,
    // checked and confirmed (for the decoders alone).
    void decode(const QByteArray &body)
    {
        const int check = state.mods.isAscii() ? 1 : 2;
        state.frame.CommBuf = body + QByteArray(check, '\0');
        state.frame.CommLen = static_cast<qint16>(state.frame.CommBuf.size());
        reads.dispatch();
    }
    void deliver(const QByteArray &frame, int chunks = 1)
    {
        testsupport::deliver(port, frame, chunks);
    }
};
