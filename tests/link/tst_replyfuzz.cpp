// Random and mutated replies through receive, check, dispatch and decoding. The
// replies come from a serial line, so nothing in them may crash the program or
// make it read outside what arrived; run under the sanitizers to catch that.
#include "linkfixture.h"

#include <QRandomGenerator>
#include <QTest>

using namespace krv;

namespace {
// A well-formed reply body for each request the main window makes.
QByteArray plausibleBody(QRandomGenerator &rng, quint8 address, qint16 &reqRegister)
{
    auto bytes = [&rng](int n) {
        QByteArray b(n, '\0');
        for (char &c : b)
            c = static_cast<char>(rng.bounded(256));
        return b;
    };
    QByteArray body;
    body.append(static_cast<char>(address));
    static const qint16 registers[] = {0x0000, 0x0012, 0x0062, 0x0072, 0x0082, 0x01F8, 0x0040};
    static const int registerCounts[] = {8, 10, 8, 1, 8, 3, 2};
    switch (rng.bounded(7)) {
    case 0: {
        const int r = rng.bounded(7);
        reqRegister = registers[r];
        const int count = rng.bounded(3) == 0 ? rng.bounded(20) : registerCounts[r];
        body.append('\x03').append(static_cast<char>(2 * count)).append(bytes(2 * count));
        break;
    }
    case 1:
        body.append('\x01').append('\x02').append(bytes(2));
        break;
    case 2:
        body.append('\x01').append('\x01').append(bytes(1));
        break;
    case 3:
        body.append('\x02').append('\x03').append(bytes(3));
        break;
    case 4:
        body.append('\x11')
            .append('\x10')
            .append(rng.bounded(2) ? QByteArray("REREVE2060RIDU") : bytes(14))
            .append(bytes(2));
        break;
    case 5:
        body.append(static_cast<char>(rng.bounded(2) ? 5 : 6)).append(bytes(4));
        break;
    default:
        body.append(bytes(rng.bounded(1, 30)));
        break;
    }
    return body;
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

class TestReplyFuzz : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void randomReplies()
    {
        QRandomGenerator rng(20261207);
        LinkFixture f;
        int decoded = 0;
        QObject::connect(&f.engine, &TransactionEngine::statusText, [&decoded](const QString &t) {
            if (t.endsWith(QStringLiteral("成功")))
                ++decoded;
        });
        constexpr int Rounds = 100000;
        for (int round = 0; round < Rounds; ++round) {
            const bool ascii = rng.bounded(2);
            f.useModule(static_cast<qint16>(rng.bounded(256)), ascii);
            f.state.module.VerMajor = static_cast<qint16>(rng.bounded(2) ? 5 : rng.bounded(256));
            f.state.module.VerMinor = static_cast<qint16>(rng.bounded(2) ? 3 : rng.bounded(256));
            f.state.scan.Scanning = rng.bounded(4) == 0 ? True16 : False16;
            f.state.mods.ModIndex = static_cast<qint16>(rng.bounded(ModuleSlots::Count));

            qint16 reqRegister = 0;
            QByteArray body =
                plausibleBody(rng, static_cast<quint8>(f.state.mods.address()), reqRegister);
            if (rng.bounded(6) == 0 && body.size() > 2)
                body[2] = static_cast<char>(rng.bounded(256)); // byte count lies
            const QByteArray frame = mutate(rng, ascii ? asciiFrame(body) : rtuFrame(body));

            f.state.module.ReqRegister = reqRegister;
            f.port.setPortOpen(true);
            f.port.discardInput();
            f.port.setRThreshold(rng.bounded(1, 50));
            f.deliver(frame, rng.bounded(1, 5));
            // Whatever did not reach the threshold is handed over anyway.
            if (f.port.inBufferCount() > 0)
                f.engine.Comm1_OnComm();
        }
        QVERIFY(decoded > Rounds / 10); // many replies did get through
        QVERIFY(f.state.mods.ModIndex >= 0 && f.state.mods.ModIndex < ModuleSlots::Count);
    }
};

QTEST_GUILESS_MAIN(TestReplyFuzz)
#include "tst_replyfuzz.moc"
