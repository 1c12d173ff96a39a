#pragma once
// A main-window link without a window: shared state, in-memory port, engine,
// register map, writes, scan and polling cycle, wired as the application
// wires them; what the engine and the decoders report is kept for the test.

#include "link/modulescan.h"
#include "link/pollingcycle.h"
#include "protocol/modbusframing.h"
#include "testsupport.h"
#include "ui/statustext.h"

#include <QStringList>

struct LinkFixture
{
    krv::SharedState state;
    testsupport::MemoryPort port;
    krv::TransactionEngine engine{state.moduleSlots, port, {}};
    krv::RegisterMap reads{state, engine};
    krv::WriteRequests writes{state, engine};
    krv::ModuleScan scan{state, engine, reads};
    krv::PollingCycle cycle{state, engine, reads, writes, scan};

    // The status as its Chinese text, the frames as shown, the counts as the
    // boxes show them.
    QString status, sentText, receivedText, receiveCountText, timeoutCountText;
    krv::LinkStatus lastStatus;
    QStringList found;
    int measured = 0;
    bool systemShown = false;

    LinkFixture()
    {
        engine.setDispatcher([this](const krv::Request &request, const krv::ReplyReader &reply) {
            reads.dispatch(request, reply);
        });
        QObject::connect(&engine, &krv::TransactionEngine::statusChanged,
                         [this](const krv::LinkStatus &s) {
                             lastStatus = s;
                             status = krv::StatusText::of(s);
                         });
        QObject::connect(&engine, &krv::TransactionEngine::frameSent,
                         [this](const QString &t) { sentText = t; });
        QObject::connect(&engine, &krv::TransactionEngine::frameReceived,
                         [this](const QString &t) { receivedText = t; });
        QObject::connect(&engine, &krv::TransactionEngine::receiveCountChanged,
                         [this](int n) { receiveCountText = krv::StatusText::count(n); });
        QObject::connect(&engine, &krv::TransactionEngine::timeoutCountChanged,
                         [this](int n) { timeoutCountText = krv::StatusText::count(n); });
        QObject::connect(&scan, &krv::ModuleScan::moduleFound,
                         [this](const QString &item, int) { found << item; });
        QObject::connect(&reads, &krv::RegisterMap::measurementsDecoded, [this] { ++measured; });
        QObject::connect(&reads, &krv::RegisterMap::systemBlockDecoded,
                         [this] { systemShown = true; });
        cycle.load({krv::LineAddress::com(1), QStringLiteral("9600"), 3});
    }

    // Points the selected slot at a module.
    void useModule(qint16 address, bool ascii)
    {
        state.moduleSlots.selected = 1;
        state.moduleSlots.stationAddress[1] = address;
        state.moduleSlots.ascii[1] = ascii;
    }
    bool ascii() const { return state.moduleSlots.selectedIsAscii(); }

    QByteArray lastSent() const { return testsupport::lastSent(port); }

    // The reply body framed as the selected slot frames it, then delivered.
    void reply(const QByteArray &body, int chunks = 1)
    {
        deliver(testsupport::framed(body, ascii()), chunks);
    }
    // Hands a reply body straight to the dispatch, as if it had been received,
    // checked and confirmed as the answer to `request` (for the decoders alone).
    void decode(const QByteArray &body, const krv::Request &request = {})
    {
        reads.dispatch(request, krv::ReplyReader(body, 0));
    }
    // After scan.start(): runs scan ticks until the scan asks `address` in
    // the given framing (each earlier request is abandoned by the next).
    bool scanTo(qint16 address, bool ascii)
    {
        for (int tick = 0; tick < 2 * 256 + 2; ++tick) {
            scan.onTick();
            if (state.moduleSlots.selectedAddress() == address &&
                state.moduleSlots.selectedIsAscii() == ascii)
                return true;
        }
        return false;
    }
    void deliver(const QByteArray &frame, int chunks = 1)
    {
        testsupport::deliver(port, frame, chunks);
    }
};
