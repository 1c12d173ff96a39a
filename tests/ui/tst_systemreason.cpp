// The reasons this system's C library and Qt give for failing files and ports:
// Chinese in the Chinese interface, the system's own words in the English one;
// other texts unchanged; and the port failure message that shows them.

#include "app/language.h"
#include "ui/statustext.h"
#include "ui/systemreason.h"

#include <QSaveFile>
#include <QSerialPort>
#include <QtTest>

#include <cerrno>
#include <clocale>

using namespace krv;

class TestSystemReason : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { std::setlocale(LC_ALL, "C"); } // the C library in English

    void systemTextsInBothLanguages()
    {
        QStringList texts{QStringLiteral("Device disappeared from the system")};
        for (int e : {ENOENT, EACCES, EPERM, ENOSPC, EISDIR, EROFS, EFBIG, EBUSY, EIO, ENODEV,
                      ENXIO, ETIMEDOUT, ECONNREFUSED, EHOSTUNREACH, ENETUNREACH, ECONNRESET, EPIPE})
            texts << qt_error_string(e);
        QSaveFile directory(QDir::tempPath());
        QSerialPort missing(QStringLiteral("/nonexistent/ttyS9"));
        QSerialPort appending(QStringLiteral("/nonexistent/ttyS9"));
        QVERIFY(!directory.open(QIODevice::WriteOnly) && !missing.open(QIODevice::ReadWrite) &&
                !appending.open(QIODevice::ReadWrite | QIODevice::Append));
        texts << directory.errorString() << missing.errorString() << appending.errorString();
        static const QRegularExpression chinese(QStringLiteral("^[\\x{4E00}-\\x{9FFF}/]+$"));
        for (const QString &text : texts)
            QVERIFY2(SystemReason::text(text).contains(chinese), qPrintable(text));
        QCOMPARE(SystemReason::text(QStringLiteral("Existing file /tmp/a b.csv is not writable")),
                 QStringLiteral("已有的文件/tmp/a b.csv不可写"));
        for (const char *other :
             {"", "Success", "No such file or directory (2)", "没有那个文件或目录"})
            QCOMPARE(SystemReason::text(QString::fromUtf8(other)), QString::fromUtf8(other));

        const InterfaceLanguage english(Language::English);
        QVERIFY(english.translated());
        for (const QString &text : texts)
            QCOMPARE(SystemReason::text(text), text);
    }

    void portFailureMessage()
    {
        const PortFailure failure{PortFailure::Kind::CannotOpen, QStringLiteral("COM3"),
                                  QStringLiteral("/dev/ttyUSB0"), qt_error_string(EACCES)};
        QCOMPARE(StatusText::of(failure),
                 QStringLiteral("COM3 (/dev/ttyUSB0) 无法打开: 没有访问权限"));
        const InterfaceLanguage english(Language::English);
        QCOMPARE(StatusText::of(failure),
                 QStringLiteral("COM3 (/dev/ttyUSB0) cannot be opened: Permission denied"));
    }
};

QTEST_GUILESS_MAIN(TestSystemReason)
#include "tst_systemreason.moc"
