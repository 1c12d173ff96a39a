// Random and mutated replies through receive, check, dispatch and decoding. The
// replies come from a serial line, so nothing in them may crash the program or
// make it read outside what arrived; run under the sanitizers to catch that.
#include "linkfixture.h"

#include <QRandomGenerator>
#include <QTest>

using namespace krv;

namespace {
// One request of the main window, sent through its own procedure, and a
// well-formed reply body for it (values random).
QByteArray sendAndBuildReply(QRandomGenerator &rng, LinkFixture &f)
{
    auto bytes = [&rng](int n) {
        QByteArray b(n, '\0');
        for (char &c : b)
            c = static_cast<char>(rng.bounded(256));
        return b;
    };
    const quint8 address = f.state.moduleSlots.selectedStation();
    QByteArray body;
    body.append(static_cast<char>(address));
    const bool longSystem = f.state.module.version() >= 53;
    switch (rng.bounded(10)) {
    case 0:
        f.reads.readMeasurements();
        body.append('\x03').append('\x10').append(bytes(16));
        break;
    case 1:
        f.reads.readSystemBlock();
        body.append('\x03')
            .append(static_cast<char>(longSystem ? 20 : 12))
            .append(bytes(longSystem ? 20 : 12));
        break;
    case 2:
        f.reads.readSensorCodes();
        body.append('\x03').append('\x10').append(bytes(16));
        break;
    case 3:
        f.reads.readParallelOutputTime();
        body.append('\x03').append('\x02').append(bytes(2));
        break;
    case 4:
        f.reads.readModuleControl();
        body.append('\x03').append('\x06').append(bytes(6));
        break;
    case 5:
        f.reads.readSwitchOutputs();
        body.append('\x01').append('\x02').append(bytes(2));
        break;
    case 6:
        f.reads.readControlEnable();
        body.append('\x01').append('\x01').append(bytes(1));
        break;
    case 7:
        f.reads.readSwitchInputs();
        body.append('\x02').append('\x03').append(bytes(3));
        break;
    case 8:
        f.reads.readDeviceId();
        body.append('\x11')
            .append('\x10')
            .append(rng.bounded(2) ? QByteArray("REREVE2060RIDU") : bytes(14))
            .append(bytes(2));
        break;
    default: {
        // A switch output toggled against a random last read state.
        const int index = rng.bounded(OutputCount);
        f.state.module.outputs[index] = rng.bounded(2);
        f.writes.toggleOutput(index);
        f.state.commandStack.topIndex = 0; // the tick is run by hand below
        f.writes.sendOutputSwitch();
        // The echo of the request just sent (body of the last frame).
        const QByteArray sent = f.lastSent();
        body = f.ascii() ? QByteArray::fromHex(sent.mid(1, 12)) : sent.left(6);
        break;
    }
    }
    return body;
}

// A frame that is no answer: another station, another function, or noise.
QByteArray foreignBody(QRandomGenerator &rng, const QByteArray &answer)
{
    QByteArray b = answer;
    switch (rng.bounded(3)) {
    case 0:
        b[0] = static_cast<char>(b[0] ^ (1 + rng.bounded(255)));
        break;
    case 1:
        b[1] = static_cast<char>(b[1] == 3 ? 1 : 3);
        break;
    default:
        b = QByteArray::fromHex("010304") + QByteArray(4, char(rng.bounded(256)));
        break;
    }
    return b;
}

int fromEnvironment(const char *name, int fallback)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok && v > 0 ? v : fallback;
}

QByteArray mutate(QRandomGenerator &rng, QByteArray frame)
{
    switch (rng.bounded(6)) {
    case 0: // intact
        break;
    case 1: // flipped bits
        for (int i = rng.bounded(1, 4); i > 0 && !frame.isEmpty(); --i)
            frame[rng.bounded(static_cast<int>(frame.size()))] ^=
                static_cast<char>(1 << rng.bounded(8));
        break;
    case 2: // truncated
        frame.truncate(rng.bounded(static_cast<int>(frame.size()) + 1));
        break;
    case 3: { // extended
        QByteArray tail(rng.bounded(1, 40), '\0');
        for (char &c : tail)
            c = static_cast<char>(rng.bounded(256));
        frame += tail;
        break;
    }
    case 4: // pure noise
        frame = QByteArray(rng.bounded(0, 60), '\0');
        for (char &c : frame)
            c = static_cast<char>(rng.bounded(256));
        break;
    default: // valid check over a body whose byte count lies
        break;
    }
    return frame;
}
} // namespace

// Rounds and seed come from KRV_FUZZ_ROUNDS and KRV_FUZZ_SEED (defaults:
// 100000 rounds, seed 20261207), so a long run can be made without a rebuild.
class TestReplyFuzz : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void randomReplies()
    {
        const int rounds = fromEnvironment("KRV_FUZZ_ROUNDS", 100000);
        const auto seed = static_cast<quint32>(fromEnvironment("KRV_FUZZ_SEED", 20261207));
        QRandomGenerator rng(seed);
        LinkFixture f;
        int decoded = 0;
        int sent = 0;
        int ended = 0;
        QObject::connect(&f.engine, &TransactionEngine::statusChanged,
                         [&decoded](const LinkStatus &s) {
                             if (StatusText::of(s).endsWith(QStringLiteral("成功")))
                                 ++decoded;
                         });
        QObject::connect(&f.engine, &TransactionEngine::requestEnded, [&](RequestEnd) { ++ended; });
        f.port.open();
        const LineChoice line{LineAddress::com(1), QStringLiteral("9600"), 3};
        // A round is a second after the last: the late reply of a request
        // from an earlier round is no longer waited for.
        qint64 now = 0;
        f.engine.setClock([&now] { return now; });
        for (int round = 0; round < rounds; ++round) {
            now += 1000;
            const bool ascii = rng.bounded(2);
            f.useModule(static_cast<qint16>(rng.bounded(256)), ascii);
            f.state.module.firmwareMajor =
                static_cast<qint16>(rng.bounded(2) ? 5 : rng.bounded(256));
            f.state.module.firmwareMinor =
                static_cast<qint16>(rng.bounded(2) ? 3 : rng.bounded(256));
            // A quarter of the replies come while a scan runs (which may list
            // the module and move the selected slot).
            if (rng.bounded(4) == 0)
                f.scan.start(line);
            else
                f.scan.stop();
            f.state.moduleSlots.selected = static_cast<qint16>(rng.bounded(ModuleSlots::Count));
            // Mostly a module that has identified itself, so that its blocks decode.
            f.state.module.firmwareKnown = rng.bounded(8) != 0;

            const qsizetype before = f.port.sent().size();
            QByteArray body = sendAndBuildReply(rng, f);
            sent += f.port.sent().size() > before ? 1 : 0;
            // The in-memory port keeps every frame sent; over millions of
            // rounds that alone would take gigabytes.
            f.port.sent().clear();
            if (rng.bounded(6) == 0 && body.size() > 2)
                body[2] = static_cast<char>(rng.bounded(256)); // byte count lies
            auto frame = [ascii](const QByteArray &b) {
                return ascii ? asciiFrame(b) : rtuFrame(b);
            };
            QByteArray wire = mutate(rng, frame(body));
            if (rng.bounded(4) == 0) // a late or foreign frame first, same read
                wire.prepend(frame(foreignBody(rng, body)));
            f.deliver(wire, rng.bounded(1, 5));
            // Whatever did not reach the threshold is handed over anyway, then
            // the request times out if nothing ended it.
            if (f.port.waitingCount() > 0)
                f.engine.onThresholdReached();
            if (f.engine.outstanding())
                f.engine.onReplyTimeout();
            QCOMPARE(ended, sent); // every request ended, and only once
        }
        QVERIFY(decoded > rounds / 10); // many replies did get through
        QVERIFY(ModuleSlots::validIndex(f.state.moduleSlots.selected));
    }
};

QTEST_GUILESS_MAIN(TestReplyFuzz)
#include "tst_replyfuzz.moc"
