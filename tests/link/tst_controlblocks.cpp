// The control blocks: box texts to record words and back, the read and write
// requests on the wire, and the dispatch of their replies on an editor line.
#include "link/controlblocks.h"
#include "linkfixture.h"
#include "protocol/requests.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

using namespace krv;
using testsupport::hex;
using Kind = ControlTextFault::Kind;

Q_DECLARE_METATYPE(krv::ControlTextFault::Kind)

namespace {
// Texts of a channel with the given start order and input channel, the
// other boxes plain numbers.
ControlTexts texts(const QString &startStep, const QString &inSel)
{
    return {startStep, inSel, "0", "10", "250", "100", "20", "5", "30"};
}

ControlTexts textsWithRow(int row, const QString &text)
{
    ControlTexts t = texts("1", "2");
    t[row] = text;
    return t;
}

ControlParaRecord recordWith(qint16 stepInSel)
{
    ControlParaRecord r;
    r.StepInSel = stepInSel;
    return r;
}

// The main window's link with the control editor's line and blocks beside it.
struct ControlFixture : LinkFixture
{
    MemoryPortComponent editorPort;
    EditorLink editor{state, editorPort, cycle};
    ControlBlocks blocks{state, editor};
    QString editorStatus;
    QMap<int, ControlTexts> shown;

    explicit ControlFixture(const LineChoice &line = {1, QStringLiteral("9600"), 3},
                            bool ascii = false)
    {
        useModule(2, ascii);
        QObject::connect(&editor.engine(), &TransactionEngine::statusText,
                         [this](const QString &t) { editorStatus = t; });
        QObject::connect(&blocks, &ControlBlocks::DisplayPara,
                         [this](int c, const ControlTexts &t) { shown[c] = t; });
        cycle.suspend(line);
        editor.open();
        editor.Timer1().stop(); // ticks are run by hand
    }
    QByteArray sent() const { return testsupport::lastSent(editorPort); }
    void reply(const QByteArray &body)
    {
        testsupport::deliver(editorPort, testsupport::framed(body, state.mods.isAscii()));
    }
};

// A read reply of station 2 with seven words.
QByteArray blockReply(const QList<int> &words)
{
    return testsupport::registersBody(2, Fn::ReadHolding, words);
}
} // namespace

class TestControlBlocks : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The packed word of start order and input channel, written and read back.
    void packedWords_data()
    {
        QTest::addColumn<QString>("startStep");
        QTest::addColumn<QString>("inSel");
        QTest::addColumn<int>("word");
        QTest::addColumn<QString>("shownStep");
        QTest::addColumn<QString>("shownIn");
        QTest::newRow("1 and 5") << "1"
                                 << "5" << 0x0105 << "1"
                                 << "5";
        QTest::newRow("1.5 carries a half into the low byte") << "1.5"
                                                              << "0" << 0x0180 << "1"
                                                              << "128";
        QTest::newRow("input 300 carries into the high byte") << "1"
                                                              << "300" << 0x022C << "2"
                                                              << "44";
        QTest::newRow("sum rounded, halves to even") << "0"
                                                     << "2.5" << 0x0002 << "0"
                                                     << "2";
        QTest::newRow("blanks around a number") << " 3 "
                                                << "+7" << 0x0307 << "3"
                                                << "7";
        QTest::newRow("lowest packed word") << "-128"
                                            << "0" << 0x8000 << "-128"
                                            << "0";
        QTest::newRow("highest packed word") << "127"
                                             << "255" << 0x7FFF << "127"
                                             << "255";
    }
    void packedWords()
    {
        QFETCH(QString, startStep);
        QFETCH(QString, inSel);
        QFETCH(int, word);
        QFETCH(QString, shownStep);
        QFETCH(QString, shownIn);
        ControlParaRecord r;
        QVERIFY(!textsToRecord(texts(startStep, inSel), r));
        QCOMPARE(quint16(r.StepInSel), quint16(word));
        const ControlTexts back = recordToTexts(r);
        QCOMPARE(back[0], shownStep);
        QCOMPARE(back[1], shownIn);
    }

    // Words read from a module whose high byte is 0x80 or more.
    void negativeWordsShown_data()
    {
        QTest::addColumn<int>("word");
        QTest::addColumn<QString>("high");
        QTest::addColumn<QString>("low");
        QTest::newRow("0xFF05 truncates toward zero") << 0xFF05 << "0"
                                                      << "5";
        QTest::newRow("0x8005") << 0x8005 << "-127"
                                << "5";
        QTest::newRow("0xFF00") << 0xFF00 << "-1"
                                << "0";
        QTest::newRow("0xFFFF") << 0xFFFF << "0"
                                << "255";
    }
    void negativeWordsShown()
    {
        QFETCH(int, word);
        QFETCH(QString, high);
        QFETCH(QString, low);
        ControlParaRecord r;
        r.PhaseSam = static_cast<qint16>(word);
        const ControlTexts t = recordToTexts(r);
        QCOMPARE(t[int(ControlRow::Phase)], high);
        QCOMPARE(t[int(ControlRow::SamTime)], low);
    }

    // A single word: the nearest whole number, halves to even, within 16 bits.
    void singleWords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("word");
        QTest::newRow("25.5") << "25.5" << 26;
        QTest::newRow("24.5") << "24.5" << 24;
        QTest::newRow("-3") << "-3" << -3;
        QTest::newRow("-2.5") << "-2.5" << -2;
        QTest::newRow("32767.4") << "32767.4" << 32767;
        QTest::newRow("-32768.5 rounds to even, in range") << "-32768.5" << -32768;
    }
    void singleWords()
    {
        QFETCH(QString, text);
        QFETCH(int, word);
        ParameterTables t;
        QVERIFY(!textsToRecord(textsWithRow(int(ControlRow::SetVal), text), t.CtrlPara[3]));
        QCOMPARE(int(t.CtrlPara[3].SetVal), word);
        QCOMPARE(recordToTexts(t.CtrlPara[3])[int(ControlRow::SetVal)], QString::number(word));
    }

    // Texts that cannot be written: the first failing box in word order, and
    // the record as it was.
    void faults_data()
    {
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("packed");
        const auto with = [](std::initializer_list<std::pair<int, QString>> changes) {
            const ControlTexts t = texts("1", "2");
            QStringList boxes(t.begin(), t.end());
            for (const auto &[row, text] : changes)
                boxes[row] = text;
            return boxes;
        };
        QTest::newRow("initial text") << with({{0, "StartStep"}}) << Kind::NotANumber << 0 << false;
        QTest::newRow("empty input channel") << with({{1, ""}}) << Kind::NotANumber << 1 << false;
        QTest::newRow("start order 128") << with({{0, "128"}}) << Kind::OutOfRange << 0 << true;
        QTest::newRow("phase 127, sample time 256")
            << with({{2, "127"}, {3, "256"}}) << Kind::OutOfRange << 2 << true;
        QTest::newRow("sample time 32768") << with({{3, "32768"}}) << Kind::OutOfRange << 2 << true;
        QTest::newRow("set value 32767.5")
            << with({{4, "32767.5"}}) << Kind::OutOfRange << 4 << false;
        QTest::newRow("D2 -40000") << with({{7, "-40000"}}) << Kind::OutOfRange << 7 << false;
        QTest::newRow("exponent") << with({{8, "1e3"}}) << Kind::NotANumber << 8 << false;
        QTest::newRow("comma decimal") << with({{5, "1,5"}}) << Kind::NotANumber << 5 << false;
        QTest::newRow("40 digits")
            << with({{6, QString(40, '9')}}) << Kind::OutOfRange << 6 << false;
        QTest::newRow("earlier word first")
            << with({{0, "200"}, {4, "x"}}) << Kind::OutOfRange << 0 << true;
    }
    void faults()
    {
        QFETCH(QStringList, boxes);
        QFETCH(Kind, kind);
        QFETCH(int, row);
        QFETCH(bool, packed);
        ControlTexts t;
        std::copy(boxes.begin(), boxes.end(), t.begin());
        ControlParaRecord r = recordWith(0x1234);
        const auto fault = textsToRecord(t, r);
        QVERIFY(fault);
        QCOMPARE(fault->kind, kind);
        QCOMPARE(int(fault->row), row);
        QCOMPARE(fault->packed, packed);
        QCOMPARE(r.StepInSel, qint16(0x1234));
        QCOMPARE(r.SetVal, qint16(0));
    }

    // The request frames, channel 0 and channel 8, read and write.
    void requests()
    {
        FrameBuffer fb;
        buildControlRead(fb, 2, 0);
        QCOMPARE(fb.CommBuf, hex("0203010200070000"));
        QCOMPARE(fb.FrameLen, qint16(8));
        QCOMPARE(fb.ReplyLen, qint16(19));
        buildControlRead(fb, 2, 8);
        QCOMPARE(fb.CommBuf.left(6), hex("020301920007"));

        ParameterTables t;
        QVERIFY(
            !textsToRecord({"1", "5", "0", "10", "25.5", "-3", "20", "5", "30"}, t.CtrlPara[8]));
        buildControlWrite(fb, 7, t, 8);
        QCOMPARE(fb.CommBuf, hex("0710019200070E"
                                 "0105000A001AFFFD00140005001E"
                                 "0000"));
        QCOMPARE(fb.FrameLen, qint16(23));
        QCOMPARE(fb.ReplyLen, qint16(8));
        QCOMPARE(t.CtrlPara[8].RegBytes[6], quint8(0xFF));
        QCOMPARE(controlBlockStart(0), quint16(0x0102));
        QCOMPARE(controlBlockStart(3), quint16(0x0138));
    }

    // A reply's bytes 3..16 become the channel's record; a shorter body is
    // left alone.
    void replyIntoRecord()
    {
        ParameterTables t;
        const QByteArray body = blockReply({0xFF05, 0x0A14, 300, 120, 30, 8, -50});
        QVERIFY(takeControlReply(ReplyReader(body + hex("0000"), 2), t, 4));
        QCOMPARE(t.CtrlPara[4].StepInSel, qint16(-251));
        QCOMPARE(t.CtrlPara[4].PhaseSam, qint16(0x0A14));
        QCOMPARE(t.CtrlPara[4].CtrlArea, qint16(-50));
        QCOMPARE(recordToTexts(t.CtrlPara[4]),
                 (ControlTexts{"0", "5", "10", "20", "300", "120", "30", "8", "-50"}));
        QVERIFY(!takeControlReply(ReplyReader(body.left(16) + hex("0000"), 2), t, 5));
        QCOMPARE(t.CtrlPara[5].StepInSel, qint16(0));
        QVERIFY(takeControlReply(ReplyReader(body.left(17) + hex("00"), 1), t, 5));
    }

    // The sweep's tick per line speed; nine reads, each reply shown in its
    // own channel, the tenth tick stops.
    void sweep_data()
    {
        QTest::addColumn<int>("rateIndex");
        QTest::addColumn<int>("tick");
        QTest::addColumn<bool>("ascii");
        QTest::newRow("1200") << 0 << 1200 << false;
        QTest::newRow("2400") << 1 << 600 << false;
        QTest::newRow("4800 ASCII") << 2 << 400 << true;
        QTest::newRow("9600") << 3 << 300 << false;
        QTest::newRow("19200") << 4 << 240 << false;
        QTest::newRow("38400 ASCII") << 5 << 200 << true;
    }
    void sweep()
    {
        QFETCH(int, rateIndex);
        QFETCH(int, tick);
        QFETCH(bool, ascii);
        const QStringList rates{"1200", "2400", "4800", "9600", "19200", "38400"};
        ControlFixture f({1, rates[rateIndex], rateIndex}, ascii);
        QCOMPARE(f.editor.Timer1().interval(), tick);
        QCOMPARE(f.editorPort.settings(), rates[rateIndex] + ",N,8,1");
        for (int c = 0; c < 9; ++c) {
            f.editor.Timer1_Timer();
            QCOMPARE(f.editorPort.sent().size(), c + 1);
            QCOMPARE(f.editorPort.rThreshold(), ascii ? 39 : 19);
            f.reply(blockReply({(c + 1) << 8 | c, 10, 300 + c, 120, 30, 8, 50}));
            QCOMPARE(f.shown.value(c)[int(ControlRow::StartStep)], QString::number(c + 1));
            QCOMPARE(f.shown.value(c)[int(ControlRow::SetVal)], QString::number(300 + c));
            QCOMPARE(f.editorStatus, QString());
        }
        f.editor.Timer1().start();
        f.editor.Timer1_Timer();
        QVERIFY(!f.editor.Timer1().isActive());
        QCOMPARE(f.editorPort.sent().size(), 9);
        QCOMPARE(f.shown.size(), 9);
    }

    // The status texts of the dispatch.
    void dispatchTexts()
    {
        ControlFixture f;
        QVERIFY(!f.blocks.writeChannel(3, texts("1", "5")));
        QCOMPARE(f.sent().left(7), hex("0210013800070E"));
        f.reply(hex("021001380007"));
        QCOMPARE(f.editorStatus, QStringLiteral("写通道3控制参数成功"));

        // An exception reply to a read, seen when line noise after it makes up
        // the read's reply length.
        f.blocks.GetControlPara(6);
        testsupport::deliver(f.editorPort, rtuFrame(hex("028302")) + QByteArray(14, '\xFF'));
        QCOMPARE(f.editorStatus, QStringLiteral("无此功能号"));
        QVERIFY(f.shown.isEmpty());

        // A write that gets no echo within the reply time-out; a read that
        // gets none stays silent.
        QVERIFY(!f.blocks.writeChannel(4, texts("1", "5")));
        f.editorStatus.clear();
        f.editor.engine().timMscon_Timer();
        QCOMPARE(f.editorStatus, QStringLiteral("写通道4控制参数失败"));
        f.blocks.GetControlPara(2);
        f.editorStatus.clear();
        f.editor.engine().timMscon_Timer();
        QCOMPARE(f.editorStatus, QString());
        // An echo that fails its check is no confirmation either.
        QVERIFY(!f.blocks.writeChannel(5, texts("1", "5")));
        QByteArray damaged = rtuFrame(hex("0210015C0007"));
        damaged[3] = char(damaged[3] ^ 0x01);
        testsupport::deliver(f.editorPort, damaged);
        QCOMPARE(f.editorStatus, QStringLiteral("写通道5控制参数失败"));

        // A reply too short for the block (the engine confirms length first;
        // the dispatch does not rely on it).
        f.editor.submit(
            [] {
                FrameBuffer fb;
                buildControlRead(fb, 2, 1);
                return fb;
            }(),
            1);
        f.state.frame.CommBuf = hex("0203020001") + hex("0000");
        f.state.frame.CommLen = qint16(f.state.frame.CommBuf.size());
        f.blocks.dispatch();
        QCOMPARE(f.editorStatus, QStringLiteral("数据长度错误"));
        QVERIFY(f.shown.isEmpty());
    }

    // Texts that cannot be converted send nothing; the record keeps what it had.
    void faultSendsNothing()
    {
        ControlFixture f;
        f.state.params.CtrlPara[5].SetVal = 77;
        const auto fault = f.blocks.writeChannel(5, textsWithRow(8, "CtrlArea"));
        QVERIFY(fault);
        QCOMPARE(fault->row, ControlRow::CtrlArea);
        QVERIFY(f.editorPort.sent().isEmpty());
        QCOMPARE(f.state.params.CtrlPara[5].SetVal, qint16(77));
    }

    // A button pressed while a read is outstanding waits: the read's reply
    // goes to its own channel, then the write goes out with its own texts.
    void requestsNeverCross()
    {
        ControlFixture f;
        f.blocks.GetControlPara(2);
        QVERIFY(!f.blocks.writeChannel(7, texts("4", "1")));
        QCOMPARE(f.editorPort.sent().size(), 1);
        f.reply(blockReply({0x0102, 10, 300, 120, 30, 8, 50}));
        QCOMPARE(f.shown.keys(), QList<int>{2});
        QCOMPARE(f.editorPort.sent().size(), 2);
        QCOMPARE(f.sent().left(9), hex("0210018000070E0401"));
        f.reply(hex("021001800007"));
        QCOMPARE(f.editorStatus, QStringLiteral("写通道7控制参数成功"));
    }
};

QTEST_GUILESS_MAIN(TestControlBlocks)
#include "tst_controlblocks.moc"
