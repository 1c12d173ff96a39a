// The window's painting while it polls: what a request and its reply change
// is painted in one pass after the reply, passes come at most once per
// interval, nothing is painted while the window is minimised, and the user's
// own input is answered at once. The texts themselves change at once.
#include "ui/paintpacer.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

using namespace krv;

namespace {

// A window with one box whose paint events are counted.
struct Window : QWidget
{
    QLineEdit *box = new QLineEdit(this);
    int paints = 0;
    PaintPacer *pacer = new PaintPacer(this);

    Window()
    {
        (new QVBoxLayout(this))->addWidget(box);
        box->setFocusPolicy(Qt::NoFocus); // no blinking cursor painting between the checks
        box->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
    // Lets posted events and due timers run for `ms`.
    void settle(int ms = 30) { QTest::qWait(ms); }
};

void showSettled(Window &w)
{
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // Past the first pass and its interval.
    w.settle(PaintPacer::MinPaintIntervalMs + 50);
    w.paints = 0;
}

} // namespace

class PaintPacerTest : public QObject
{
    Q_OBJECT
private slots:
    void aRequestAndItsReplyArePaintedInOnePassAfterTheReply()
    {
        Window w;
        showSettled(w);
        w.pacer->hold();
        w.box->setText(QStringLiteral("01 03 00 00 00 08 44 0C"));
        w.settle();
        QCOMPARE(w.paints, 0);
        QCOMPARE(w.box->text(), QStringLiteral("01 03 00 00 00 08 44 0C")); // the text is there
        w.box->setText(QStringLiteral("01 03 10 00 7B"));
        w.pacer->release();
        w.settle();
        QCOMPARE(w.paints, 1);
    }

    void passesComeAtMostOncePerIntervalAndNoneIsLost()
    {
        Window w;
        showSettled(w);
        QElapsedTimer clock;
        clock.start();
        // Requests every 20 ms for a second and a half, each answered at once.
        int n = 0;
        while (clock.elapsed() < 1500) {
            w.pacer->hold();
            w.box->setText(QString::number(++n));
            w.pacer->release();
            w.settle(20);
        }
        // 1500 ms / 350 ms: four or five passes, not 75.
        QVERIFY2(w.paints >= 2 && w.paints <= 6, qPrintable(QString::number(w.paints)));
        // The last change is painted even when no reply follows.
        const int before = w.paints;
        w.pacer->hold();
        w.box->setText(QStringLiteral("last"));
        w.pacer->release();
        w.settle(PaintPacer::LongestWaitMs + 50);
        QCOMPARE(w.paints, before + 1);
    }

    void aReplyTooSoonAfterAPassIsPaintedByTheNextReply()
    {
        Window w;
        showSettled(w);
        // Polling at 200 ms: the first reply paints, the second waits for the
        // third, which paints both; no timer paints in between.
        for (int i = 0; i < 3; ++i) {
            w.pacer->hold();
            w.box->setText(QString::number(i));
            w.settle(5);
            w.pacer->release();
            w.settle(i == 2 ? 30 : 195);
            QCOMPARE(w.paints, i == 0 ? 1 : i == 1 ? 1 : 2);
        }
    }

    void aRequestWithoutReplyIsPaintedAfterTheLongestHold()
    {
        Window w;
        showSettled(w);
        w.pacer->hold();
        w.box->setText(QStringLiteral("waiting"));
        w.settle(PaintPacer::MaxHoldMs / 2);
        QCOMPARE(w.paints, 0);
        w.settle(PaintPacer::MaxHoldMs);
        QCOMPARE(w.paints, 1);
    }

    void nothingIsPaintedWhileMinimisedAndAllOnceBack()
    {
        Window w;
        showSettled(w);
        w.setWindowState(Qt::WindowMinimized);
        w.settle();
        w.paints = 0;
        for (int i = 0; i < 5; ++i) {
            w.pacer->hold();
            w.box->setText(QString::number(i));
            w.pacer->release();
            w.settle(PaintPacer::MinPaintIntervalMs);
        }
        QCOMPARE(w.paints, 0);
        QVERIFY(w.pacer->heldCount() > 0);
        w.setWindowState(Qt::WindowNoState);
        w.settle(50);
        QVERIFY(w.paints >= 1);
    }

    void theUsersInputIsPaintedAtOnce()
    {
        Window w;
        showSettled(w);
        w.pacer->hold(); // a request on the line
        QTest::keyClick(w.box, Qt::Key_A);
        w.settle();
        QCOMPARE(w.box->text(), QStringLiteral("a"));
        QVERIFY(w.paints >= 1);
        w.pacer->release();
    }
};

QTEST_MAIN(PaintPacerTest)
#include "tst_paintpacer.moc"
