// An editor's line: the opening sweep, one request at a time with later ones
// waiting, unconfirmed writes, and the hand-over with the main window.
#include "link/editorlink.h"
#include "linkfixture.h"
#include "protocol/requests.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

using namespace krv;
using testsupport::hex;

namespace {
// The main window's link with an editor beside it on its own port.
struct EditorFixture : LinkFixture
{
    testsupport::MemoryPort editorPort;
    EditorLink editor{state.moduleSlots, editorPort, cycle};
    QList<int> decodedBlocks; // the block each confirmed reply was handed with

    EditorFixture()
    {
        useModule(2, false);
        editor.setReplyHandler([this](int block, const ReplyReader &) {
            // The handler's block is the one the link calls current.
            QCOMPARE(block, editor.currentBlock());
            decodedBlocks << block;
        });
        editor.setBlockRead([this](int block) { read(block); });
    }
    // A control block read: three registers are enough here.
    void read(int block, bool write = false)
    {
        const auto start = static_cast<quint16>(0x0102 + 18 * block);
        editor.submit(write ? buildRequest(2, Fn::WriteRegisters, start, 1, hex("0001"))
                            : buildRequest(2, Fn::ReadHolding, start, 1),
                      block, write);
    }
    QByteArray editorSent() const { return testsupport::lastSent(editorPort); }
    void hand(const LineChoice &line)
    {
        cycle.lend(line);
        editor.open();
    }
};

QByteArray readReply(int block)
{
    QByteArray body = hex("020302");
    body.append('\0').append(char(block));
    return rtuFrame(body);
}

const LineChoice Line19200{LineAddress::com(2), QStringLiteral("19200"), 4};
} // namespace

class TestEditorLink : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void openingConfiguresFromTheLentLine()
    {
        EditorFixture f;
        f.hand(Line19200);
        QCOMPARE(f.editorPort.address(), LineAddress::com(2));
        QCOMPARE(f.editorPort.settings(), QStringLiteral("19200,N,8,1"));
        QVERIFY(!f.editorPort.isOpen()); // opened by the first request
        QVERIFY(f.editor.sweepTimer().isActive());
        QCOMPARE(f.editor.sweepTimer().interval(), 240);
        QCOMPARE(f.editor.engine().replyTimeout(), 230);
        QCOMPARE(f.editor.sweepBlock(), 0);
        f.editor.sweepTimer().stop();

        // A port or speed chosen in the main window since reaches the next opening.
        f.editor.returnToMain();
        f.hand({LineAddress::com(1), QStringLiteral("1200"), 0});
        QCOMPARE(f.editorPort.address(), LineAddress::com(1));
        QCOMPARE(f.editorPort.settings(), QStringLiteral("1200,N,8,1"));
        QCOMPARE(f.editor.sweepTimer().interval(), 1200);
        f.editor.sweepTimer().stop();
    }

    // Nine ticks read blocks 0..8, each reply applied to its own block; the
    // tenth stops the sweep.
    void sweepReadsNineBlocks()
    {
        EditorFixture f;
        f.hand(Line19200);
        f.editor.sweepTimer().stop();
        for (int block = 0; block < 9; ++block) {
            f.editor.onSweepTick();
            QCOMPARE(f.editor.currentBlock(), block);
            QByteArray head = hex("020301");
            head.append(char(2 + 18 * block));
            QCOMPARE(f.editorSent().left(4), head);
            testsupport::deliver(f.editorPort, readReply(block));
        }
        QCOMPARE(f.decodedBlocks, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
        f.editor.sweepTimer().start();
        f.editor.onSweepTick();
        QVERIFY(!f.editor.sweepTimer().isActive());
        QCOMPARE(f.editor.currentBlock(), 8);
        QCOMPARE(f.editorPort.sent().size(), 9);
    }

    // A request made while one is outstanding waits for its reply or its
    // time-out; a reply is never applied to the later request's block.
    void laterRequestsWait()
    {
        EditorFixture f;
        f.hand(Line19200);
        f.editor.sweepTimer().stop();
        f.read(3);
        f.read(5);
        f.read(6, true);
        QCOMPARE(f.editorPort.sent().size(), 1);
        QCOMPARE(f.editor.waiting(), 2);
        QCOMPARE(f.editor.currentBlock(), 3);
        testsupport::deliver(f.editorPort, readReply(3));
        QCOMPARE(f.decodedBlocks, QList<int>{3});
        QCOMPARE(f.editorPort.sent().size(), 2);
        QCOMPARE(f.editor.currentBlock(), 5);
        f.editor.engine().onReplyTimeout(); // block 5 gets no reply
        QCOMPARE(f.editorPort.sent().size(), 3);
        QCOMPARE(f.editor.currentBlock(), 6);
        QCOMPARE(f.editor.waiting(), 0);
        // The late reply of block 5 is not taken for block 6's.
        testsupport::deliver(f.editorPort, readReply(5));
        QCOMPARE(f.decodedBlocks, QList<int>{3});
    }

    void unconfirmedWritesAreReported()
    {
        EditorFixture f;
        f.hand(Line19200);
        f.editor.sweepTimer().stop();
        QSignalSpy failed(&f.editor, &EditorLink::writeUnconfirmed);
        f.read(4, true);
        testsupport::deliver(f.editorPort, rtuFrame(hex("0210014A0001")));
        QCOMPARE(failed.count(), 0);
        QCOMPARE(f.decodedBlocks, QList<int>{4});
        f.read(4, true);
        f.editor.engine().onReplyTimeout();
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toInt(), 4);
        f.read(7, true);
        QByteArray damaged = rtuFrame(hex("021001800001"));
        damaged[7] = char(damaged[7] ^ 0x55);
        testsupport::deliver(f.editorPort, damaged);
        QCOMPARE(failed.count(), 2);
        QCOMPARE(failed.at(1).at(0).toInt(), 7);
        f.read(2); // reads without a reply stay silent
        f.editor.engine().onReplyTimeout();
        QCOMPARE(failed.count(), 2);
    }

    // "返 回": what waits is dropped, the editor's port closes, the main window
    // polls again with its port configured but not opened, and the next
    // opening sweeps from block 0.
    void returnGivesTheLineBack()
    {
        EditorFixture f;
        f.cycle.start({LineAddress::com(1), QStringLiteral("9600"), 3}, -1, 0, 2, false);
        f.cycle.onTick();
        QVERIFY(f.port.isOpen());
        f.hand({LineAddress::com(1), QStringLiteral("9600"), 3});
        QVERIFY(!f.port.isOpen());
        QVERIFY(!f.cycle.tickTimer().isActive());
        f.editor.onSweepTick();
        f.editor.onSweepTick();
        f.read(7);
        QVERIFY(f.editorPort.isOpen());
        QCOMPARE(f.editor.sweepBlock(), 2);

        f.editor.returnToMain();
        QVERIFY(!f.editorPort.isOpen());
        QVERIFY(!f.editor.sweepTimer().isActive());
        QVERIFY(!f.editor.engine().outstanding());
        QCOMPARE(f.editor.waiting(), 0);
        QCOMPARE(f.editor.sweepBlock(), 0);
        QVERIFY(f.cycle.tickTimer().isActive());
        QVERIFY(!f.port.isOpen());
        QCOMPARE(f.editorPort.sent().size(), 1);
        f.cycle.tickTimer().stop();
    }
};

QTEST_GUILESS_MAIN(TestEditorLink)
#include "tst_editorlink.moc"
