// One transaction at a time through the in-memory port: bytes on the wire, the
// frame texts, the counters, the check and the dispatch table.
#include "linkfixture.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

using namespace krv;
using testsupport::hex;

class TestTransactionEngine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void measurementRoundTripRtu()
    {
        LinkFixture f;
        f.useModule(1, false);
        f.reads.GetData();
        QCOMPARE(f.status, QStringLiteral("取测量实时数据"));
        QCOMPARE(f.port.sent(), QList<QByteArray>{hex("010300000008440C")});
        QCOMPARE(f.sentText, QStringLiteral("010300000008440C"));
        QCOMPARE(f.port.rThreshold(), 21);
        QVERIFY(f.engine.awaitingReply());
        QCOMPARE(f.engine.replyTimeout(), 288);
        QCOMPARE(f.state.module.ReqRegister, qint16(0));

        const QByteArray body = hex("010310") + hex("FF387FFF80000000000100020003FFFF");
        const QByteArray frame = rtuFrame(body);
        f.deliver(frame, 4); // arrives in several chunks
        QVERIFY(!f.engine.awaitingReply());
        QCOMPARE(f.commText, QStringLiteral("1"));
        QCOMPARE(f.receivedText, QString::fromLatin1(frame.toHex().toUpper()));
        QCOMPARE(f.status, QStringLiteral("取8通道数据成功"));
        const std::array<qint32, 8> expected{-200, 32767, -32768, 0, 1, 2, 3, -1};
        for (int k = 0; k < 8; ++k)
            QCOMPARE(f.state.module.MeasValue[k], expected[k]);
        QCOMPARE(f.measured, 1);
    }

    void measurementRoundTripAscii()
    {
        LinkFixture f;
        f.useModule(5, true);
        f.reads.GetData();
        QCOMPARE(f.port.sent().constLast(), QByteArray(":050300000008F0\r\n"));
        QCOMPARE(f.sentText, QStringLiteral(":050300000008F0\r\n"));
        QCOMPARE(f.port.rThreshold(), 43);
        const QByteArray frame =
            asciiFrame(hex("050310") + QByteArray(16, '\0').replace(0, 2, hex("0102")));
        f.deliver(frame, 7);
        QCOMPARE(f.receivedText, QString::fromLatin1(frame));
        QCOMPARE(f.state.module.MeasValue[0], 258);
    }

    void checkFailures()
    {
        LinkFixture f;
        f.useModule(1, false);
        f.reads.GetDeviceID();
        QByteArray frame = rtuFrame(hex("0111") + QByteArray(17, 'A'));
        frame[frame.size() - 1] = char(frame.at(frame.size() - 1) ^ 1);
        f.deliver(frame);
        QCOMPARE(f.status, QStringLiteral("CRC 校验错误"));
        QCOMPARE(f.engine.commCount(), 1);
        QCOMPARE(f.engine.errCount(), 0);
        QCOMPARE(f.state.module.VerMajor, qint16(0)); // nothing decoded
    }

    void dispatchTable_data()
    {
        QTest::addColumn<qint16>("reqRegister");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("status");
        QTest::newRow("unknown start register")
            << qint16(0x0040) << hex("01030200FF") << "无此起始地址号";
        QTest::newRow("function 04 measurements")
            << qint16(0x0012) << hex("0104020005") << "取8通道数据";
        QTest::newRow("write coil echo") << qint16(0) << hex("01050000FF00") << "置数字输出成功";
        QTest::newRow("write register echo")
            << qint16(0) << hex("010600140003") << "写系统参数成功";
        QTest::newRow("function 0x0F") << qint16(0) << hex("010F00000009") << "无此功能号";
        QTest::newRow("exception reaching threshold")
            << qint16(0) << hex("0183020000000000") << "无此功能号";
        QTest::newRow("coils byte count 3") << qint16(0) << hex("0101030102030405") << "";
        QTest::newRow("too short for layout")
            << qint16(0x0012) << hex("010302FFFF") << "数据长度错误";
        QTest::newRow("count beyond bytes")
            << qint16(0x0000) << hex("010310FFFF") << "数据长度错误";
    }
    void dispatchTable()
    {
        QFETCH(qint16, reqRegister);
        QFETCH(QByteArray, body);
        QFETCH(QString, status);
        LinkFixture f;
        f.useModule(1, false);
        f.state.module.VerMajor = 5;
        f.state.module.VerMinor = 3;
        f.state.module.MeasValue.fill(7);
        f.reads.GetData();
        f.state.module.ReqRegister = reqRegister;
        f.port.setRThreshold(1); // let any length through to the dispatch
        f.reply(body);
        QCOMPARE(f.status, status);
        if (status == QStringLiteral("取8通道数据"))
            QCOMPARE(f.state.module.MeasValue[0], 5);
        else
            QCOMPARE(f.state.module.MeasValue[0], 7);
    }

    // A 5-byte exception never reaches the 8-byte echo threshold: the reply
    // timer ends the transaction and the request's own text stays.
    void exceptionEndsByTimeout()
    {
        LinkFixture f;
        f.useModule(1, false);
        f.state.writes.DOIndex = 2;
        f.writes.PutDO();
        f.reply(hex("018502"));
        QCOMPARE(f.engine.commCount(), 0);
        f.engine.timMscon_Timer();
        QCOMPARE(f.errText, QStringLiteral("1"));
        QCOMPARE(f.status, QStringLiteral("设置开关量输出为ON"));
        QCOMPARE(f.port.inBufferCount(), 0);
    }

    void lateReplyIsStillDecoded()
    {
        LinkFixture f;
        f.useModule(1, false);
        f.reads.GetDO();
        f.engine.timMscon_Timer();
        f.reply(hex("01010205") + hex("01"));
        QCOMPARE(f.engine.errCount(), 1);
        QCOMPARE(f.engine.commCount(), 1);
        QCOMPARE(f.status, QStringLiteral("取开关量输出成功"));
        QCOMPARE(f.state.module.DOState[0], qint16(1));
    }

    void silentModuleCountsEachRequest()
    {
        LinkFixture f;
        f.useModule(1, false);
        for (int i = 0; i < 3; ++i) {
            f.reads.GetSys();
            f.engine.timMscon_Timer();
        }
        QCOMPARE(f.errText, QStringLiteral("3"));
        QCOMPARE(f.status, QStringLiteral("取系统信息"));
        QCOMPARE(f.commText, QString());
    }

    void portFailureStopsSending()
    {
        LinkFixture f;
        f.useModule(1, false);
        QSignalSpy errors(&f.engine, &TransactionEngine::portError);
        f.port.failOpen(QStringLiteral("busy"));
        f.reads.GetData();
        f.reads.GetData();
        QCOMPARE(errors.count(), 1);
        QVERIFY(f.port.sent().isEmpty());
        QVERIFY(!f.engine.awaitingReply());

        f.port.failOpen(QString());
        f.engine.configurePort(1, QStringLiteral("9600,N,8,1"));
        f.reads.GetData();
        QCOMPARE(f.port.sent().size(), 1);
        f.port.pull(QStringLiteral("unplugged"));
        QCOMPARE(errors.count(), 2);
        f.reads.GetData();
        QCOMPARE(f.port.sent().size(), 1);
    }

    void hexText()
    {
        QCOMPARE(TransactionEngine::ByteToASC(0x0A), QStringLiteral("0A"));
        QCOMPARE(TransactionEngine::TurnByteToString(hex("00FF7E"), 2), QStringLiteral("00FF"));
        QCOMPARE(TransactionEngine::TurnByteToString(hex("00"), 5), QStringLiteral("00"));
    }
};

QTEST_GUILESS_MAIN(TestTransactionEngine)
#include "tst_transactionengine.moc"
