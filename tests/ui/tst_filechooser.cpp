// The file chooser: its lists, the type patterns (without regard to case), the
// type the asking editor offers, the path it hands back (empty when cancelled,
// by its button or its title bar), and the state it keeps between uses.
#include "ui/files/filechooser.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace krv;

namespace {
QStringList items(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text().trimmed();
    return out;
}

void touch(const QString &path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}
} // namespace

class TestFileChooser : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir(m_dir.path()).mkpath("sub.d/deeper"));
        for (const char *name : {"ABC.CON", "b.con", "x.ALM", "notes.txt", "sub.d/in.con"})
            touch(m_dir.filePath(name));
        QVERIFY(QDir::setCurrent(m_dir.path()));
    }

    void loadAndPatterns()
    {
        FileChooser chooser;
        chooser.show();
        auto *type = chooser.findChild<QComboBox *>("FileType");
        auto *list = chooser.findChild<QListWidget *>("File1");
        auto *drives = chooser.findChild<QComboBox *>("Drive1");
        QCOMPARE(chooser.windowTitle(), QStringLiteral("File Search"));
        QCOMPARE(type->count(), 3);
        QCOMPARE(type->currentText(), QStringLiteral("控制参数文件*.CON"));
        QCOMPARE(chooser.pattern(), QStringLiteral("*.CON"));
        QCOMPARE(drives->itemText(0), QDir::rootPath());
        QCOMPARE(chooser.directory(), m_dir.path());
        // Case does not matter: ABC.CON and b.con are both control files.
        QCOMPARE(items(list), (QStringList{"ABC.CON", "b.con"}));
        type->setCurrentIndex(1);
        chooser.onTypeChosen(1);
        QCOMPARE(items(list), QStringList{"x.ALM"});
        chooser.onTypeChosen(2);
        QCOMPARE(items(list), (QStringList{"ABC.CON", "b.con", "notes.txt", "x.ALM"}));
        chooser.onTypeChosen(7); // no such item: nothing changes
        QCOMPARE(chooser.pattern(), QStringLiteral("*.*"));
    }

    // The asking editor's type is selected at the first showing and whenever
    // another type was shown last; offered again, the name left stays.
    void offeredTypeIsSelected()
    {
        FileChooser chooser;
        auto *type = chooser.findChild<QComboBox *>("FileType");
        auto *list = chooser.findChild<QListWidget *>("File1");
        chooser.offerType(FileChooser::AlarmFiles);
        chooser.show();
        QCOMPARE(type->currentText(), QStringLiteral("报警参数文件*.ALM"));
        QCOMPARE(items(list), QStringList{"x.ALM"});
        type->setEditText("x.ALM");
        chooser.onCancelClicked();
        chooser.offerType(FileChooser::AlarmFiles);
        chooser.show();
        QCOMPARE(type->currentText(), QStringLiteral("x.ALM"));
        chooser.onCancelClicked();
        chooser.offerType(FileChooser::ControlFiles);
        chooser.show();
        QCOMPARE(type->currentText(), QStringLiteral("控制参数文件*.CON"));
        QCOMPARE(items(list), (QStringList{"ABC.CON", "b.con"}));
        // All files stay one choice away.
        chooser.onTypeChosen(FileChooser::AllFiles);
        QCOMPARE(items(list).size(), 4);
    }

    void directoriesAndPaths()
    {
        FileChooser chooser;
        chooser.show();
        QSignalSpy finished(&chooser, &FileChooser::finished);
        auto *dirs = chooser.findChild<QListWidget *>("Dir1");
        auto *list = chooser.findChild<QListWidget *>("File1");
        // The path from the root down, then the subdirectories.
        QCOMPARE(items(dirs).first(), QDir::rootPath());
        QCOMPARE(items(dirs).last(), QStringLiteral("sub.d"));
        QListWidgetItem *sub = dirs->item(dirs->count() - 1);
        emit dirs->itemActivated(sub);
        QCOMPARE(chooser.directory(), m_dir.filePath("sub.d"));
        QCOMPARE(items(list), QStringList{"in.con"});
        QCOMPARE(items(dirs).last(), QStringLiteral("deeper"));

        // A clicked file becomes the name; confirm hands the joined path back.
        list->setCurrentRow(0);
        emit list->itemClicked(list->item(0));
        QCOMPARE(chooser.findChild<QComboBox *>("FileType")->currentText(),
                 QStringLiteral("in.con"));
        QTest::mouseClick(chooser.findChild<QPushButton *>("Confirm"), Qt::LeftButton);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toString(), m_dir.filePath("sub.d") + "/in.con");
        QVERIFY(!chooser.isVisible());

        // Shown again: directory, pattern and name as they were left.
        chooser.show();
        QCOMPARE(chooser.directory(), m_dir.filePath("sub.d"));
        QCOMPARE(chooser.findChild<QComboBox *>("FileType")->currentText(),
                 QStringLiteral("in.con"));
        // A typed name is used as typed, directory parts and all.
        chooser.findChild<QComboBox *>("FileType")->setEditText("../b.con");
        chooser.onConfirmClicked();
        QCOMPARE(finished.count(), 2);
        const QString typed = finished.at(1).at(0).toString();
        QCOMPARE(typed, m_dir.filePath("sub.d") + "/../b.con");
        QVERIFY(QFile::exists(typed));
        QVERIFY(!chooser.isVisible());
        // Cancel answers with an empty path.
        chooser.show();
        QTest::mouseClick(chooser.findChild<QPushButton *>("Quit"), Qt::LeftButton);
        QCOMPARE(finished.count(), 3);
        QCOMPARE(finished.at(2).at(0).toString(), QString());
        QVERIFY(!chooser.isVisible());
    }

    // Closing by the title bar is a cancel: the close is refused (the window
    // is only hidden, so nothing counts it as the program's last window
    // closed), and the answer is an empty path, once. A close that reaches
    // the hidden chooser answers nothing.
    void closingByTheTitleBarCancels()
    {
        FileChooser chooser;
        QSignalSpy finished(&chooser, &FileChooser::finished);
        chooser.show();
        chooser.findChild<QComboBox *>("FileType")->setEditText("b.con");
        QCloseEvent close;
        QApplication::sendEvent(&chooser, &close);
        QVERIFY(!close.isAccepted());
        QVERIFY(!chooser.isVisible());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toString(), QString());

        QCloseEvent again;
        QApplication::sendEvent(&chooser, &again);
        QCOMPARE(finished.count(), 1);

        // close() as well, and the chooser is as it was left when shown again.
        chooser.show();
        QVERIFY(!chooser.close());
        QVERIFY(!chooser.isVisible());
        QCOMPARE(finished.count(), 2);
        QCOMPARE(finished.at(1).at(0).toString(), QString());
        chooser.show();
        QCOMPARE(chooser.directory(), m_dir.path());
        QCOMPARE(chooser.findChild<QComboBox *>("FileType")->currentText(),
                 QStringLiteral("b.con"));
    }

    void rootAndDrives()
    {
        // In the root the joined path has the separator twice: the same file.
        QCOMPARE(FileChooser::joinPath("/", "a.con"), QStringLiteral("//a.con"));
        FileChooser chooser;
        chooser.show();
        auto *drives = chooser.findChild<QComboBox *>("Drive1");
        // A drive that is not ready: stay where we were.
        const QString before = chooser.directory();
        drives->addItem("/no/such/volume");
        drives->setCurrentIndex(drives->count() - 1);
        chooser.onDriveChosen();
        QCOMPARE(chooser.directory(), before);
        QCOMPARE(drives->currentIndex() == drives->count() - 1, false);
        // The root drive works.
        drives->setCurrentIndex(0);
        chooser.onDriveChosen();
        QCOMPARE(chooser.directory(), QDir::rootPath());
    }

    // Shown again, the chooser lists what the disk holds now: a file saved
    // and a folder made since the last use are there, in the same directory.
    void listsFollowTheDisk()
    {
        FileChooser chooser;
        chooser.show();
        chooser.onCancelClicked();
        touch(m_dir.filePath("new.CON"));
        QVERIFY(QDir(m_dir.path()).mkdir("later"));
        chooser.show();
        QCOMPARE(chooser.directory(), m_dir.path());
        QCOMPARE(items(chooser.findChild<QListWidget *>("File1")),
                 (QStringList{"ABC.CON", "b.con", "new.CON"}));
        QVERIFY(items(chooser.findChild<QListWidget *>("Dir1")).contains("later"));
        QCOMPARE(chooser.findChild<QComboBox *>("FileType")->currentText(),
                 QStringLiteral("控制参数文件*.CON"));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestFileChooser)
#include "tst_filechooser.moc"
