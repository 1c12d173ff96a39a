// The interface in English beside the Chinese one. Every window built with the
// English translation shows no Chinese text and no caption left empty, and no
// caption is cut off; built again without the translation, every text is the
// Chinese one it was; the files the tool writes are the same in both languages;
// the translation has no unfinished entry. Run at 1.0 and at 1.5 scale.

#include "app/language.h"
#include "link/commandstack.h"
#include "ui/monitor/trafficmonitor.h"
#include "ui/monitor/trendchart.h"
#include "uifixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QCategoryAxis>
#include <QChartView>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSettings>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QXmlStreamReader>
#include <QtTest>

#include <map>
#include <memory>

using namespace krv;

namespace {

// Han characters and the full-width punctuation that goes with them.
bool hasChinese(const QString &text)
{
    static const QRegularExpression chinese(
        QStringLiteral("[\\x{3000}-\\x{303F}\\x{4E00}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));
    return text.contains(chinese);
}

// The language menu names each language in that language, in both interfaces.
bool isLanguageMenu(const QObject *o)
{
    for (; o; o = o->parent())
        if (o->objectName() == u"mnuLanguage")
            return true;
    return false;
}

// Every text a window shows, keyed by where it is: the same key in every
// build of the window. Line edits count for "no Chinese" only (they are data
// and may be empty).
struct Caption
{
    QString text;
    bool isData = false;
};
using Captions = std::map<QString, Caption>;

void walk(QWidget *window, const QString &name, Captions &out)
{
    out[name + QStringLiteral("/title")] = {window->windowTitle()};
    const QList<QWidget *> widgets = window->findChildren<QWidget *>();
    for (int i = 0; i < widgets.size(); ++i) {
        QWidget *w = widgets[i];
        const QString key =
            QStringLiteral("%1/%2:%3:%4")
                .arg(name)
                .arg(i)
                .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName());
        if (auto *label = qobject_cast<QLabel *>(w))
            out[key] = {label->text()};
        else if (auto *button = qobject_cast<QAbstractButton *>(w))
            out[key] = {button->text()};
        else if (auto *group = qobject_cast<QGroupBox *>(w))
            out[key] = {group->title()};
        else if (auto *edit = qobject_cast<QLineEdit *>(w))
            out[key] = {edit->text() + edit->placeholderText(), true};
        else if (auto *spin = qobject_cast<QSpinBox *>(w))
            out[key] = {spin->prefix() + spin->suffix(), true};
        if (auto *combo = qobject_cast<QComboBox *>(w))
            for (int k = 0; k < combo->count(); ++k)
                out[key + u'#' + QString::number(k)] = {combo->itemText(k)};
        if (auto *menu = qobject_cast<QMenu *>(w); menu && !isLanguageMenu(menu)) {
            out[key] = {menu->title()};
            const QList<QAction *> actions = menu->actions();
            for (int k = 0; k < actions.size(); ++k)
                out[key + u'#' + QString::number(k)] = {actions[k]->text()};
        }
        if (auto *table = qobject_cast<QTableView *>(w); table && table->model())
            for (int c = 0; c < table->model()->columnCount(); ++c)
                out[key + QStringLiteral("#h") + QString::number(c)] = {
                    table->model()->headerData(c, Qt::Horizontal).toString()};
        if (auto *view = qobject_cast<QChartView *>(w)) {
            const QList<QAbstractAxis *> axes = view->chart()->axes();
            for (int k = 0; k < axes.size(); ++k)
                out[key + QStringLiteral("#axis") + QString::number(k)] = {axes[k]->titleText()};
            const QList<QAbstractSeries *> series = view->chart()->series();
            for (int k = 0; k < series.size(); ++k)
                out[key + QStringLiteral("#series") + QString::number(k)] = {series[k]->name()};
        }
    }
}

// The program with every window built and shown: the main window, both
// editors, the file chooser, the traffic monitor, the trend chart and the
// batch window.
struct AllWindows : UiFixture
{
    AllWindows()
    {
        QGuiApplication::setQuitOnLastWindowClosed(false);
        program.monitors.showTrafficMonitor();
        program.monitors.showTrendChart();
        program.controlEditor.show();
        program.alarmEditor.show();
        program.fileChooser.show();
        program.batchWindow.show();
    }
    std::vector<std::pair<QString, QWidget *>> windows()
    {
        return {{QStringLiteral("main"), &program.mainWindow},
                {QStringLiteral("control"), &program.controlEditor},
                {QStringLiteral("alarm"), &program.alarmEditor},
                {QStringLiteral("chooser"), &program.fileChooser},
                {QStringLiteral("monitor"), program.monitors.trafficMonitor()},
                {QStringLiteral("trend"), program.monitors.trendChart()},
                {QStringLiteral("batch"), &program.batchWindow}};
    }
    Captions captions()
    {
        Captions all;
        for (const auto &[name, window] : windows())
            walk(window, name, all);
        return all;
    }
};

// The captions a user reads and that a fixed size can cut off.
QString clipped(QWidget *window)
{
    QStringList cut;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(window))
            continue;
        const QFontMetrics fm = w->fontMetrics();
        if (w->mapTo(window, QPoint(w->width(), w->height())).x() > window->width())
            cut << w->objectName() + QStringLiteral(" beyond the window");
        if (auto *label = qobject_cast<QLabel *>(w); label && !label->wordWrap()) {
            const int room = label->contentsRect().width() - 2 * label->margin() -
                             (label->indent() > 0 ? label->indent() : 0);
            if (fm.horizontalAdvance(label->text()) > room)
                cut << label->objectName() + u'=' + label->text();
        } else if (auto *button = qobject_cast<QPushButton *>(w)) {
            if (fm.horizontalAdvance(button->text()) + 8 > button->width())
                cut << button->objectName() + u'=' + button->text();
        } else if (auto *box = qobject_cast<QCheckBox *>(w)) {
            if (box->sizeHint().width() > box->width())
                cut << box->objectName() + u'=' + box->text();
        } else if (auto *group = qobject_cast<QGroupBox *>(w)) {
            if (fm.horizontalAdvance(group->title()) + 16 > group->width())
                cut << group->objectName() + u'=' + group->title();
        } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
            // Translated list items must fit the field beside the arrow.
            for (int k = 0; k < combo->count(); ++k)
                if (!combo->itemText(k).startsWith(u'/') && // drives: paths, not captions
                    fm.horizontalAdvance(combo->itemText(k)) + 24 > combo->width())
                    cut << combo->objectName() + u'=' + combo->itemText(k);
        }
    }
    return cut.join(u", ");
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// A written file with what depends on the moment and the machine taken out:
// the trend samples' clock times and the monitor's "time since the request".
QByteArray comparable(const QByteArray &file)
{
    static const QRegularExpression clock(
        QStringLiteral("(\\d{4}-\\d\\d-\\d\\d )?\\d\\d:\\d\\d:\\d\\d(\\.\\d{3})?"));
    const QByteArray csv = QString::fromUtf8(file).replace(clock, QStringLiteral("T")).toUtf8();
    QList<QByteArray> lines = csv.split('\n');
    const int column = lines.value(0).split(',').indexOf(QByteArrayLiteral("耗时(ms)"));
    if (column < 0)
        return csv;
    for (QByteArray &line : lines) {
        QList<QByteArray> fields = line.split(',');
        if (fields.size() > column)
            fields[column].clear();
        line = fields.join(',');
    }
    return lines.join('\n');
}

// The text export with each number and the blanks after it as "0 ": its
// columns are aligned to the widest entry, the time since the request too.
QString digitsMasked(const QByteArray &text)
{
    static const QRegularExpression number(QStringLiteral("[0-9]+ *"));
    return QString::fromUtf8(text).replace(number, QStringLiteral("0 "));
}

// Writes every kind of file the tool writes into dir, through the windows:
// the measurement record (.DAT), a control and an alarm parameter file, the
// traffic monitor's CSV and text exports and the trend chart's CSV.
void writeEveryFile(const QString &dir)
{
    QVERIFY(QDir::setCurrent(dir));
    AllWindows f;
    f.window.setClock([] { return QDateTime(QDate(2006, 3, 7), QTime(9, 5, 2)); });
    f.program.monitors.trafficLog().setClock([] { return QTime(9, 5, 2, 250); });

    f.asker.texts = {QStringLiteral("record"), QStringLiteral("control"), QStringLiteral("alarm")};
    f.click("Save");
    f.edit("Address")->setText("1");
    f.startPolling();
    f.answer(Cmd::ReadMeasurements,
             registersBody(3, {123, -45 & 0xFFFF, 0, 32767, 0x8000, 1, 2, 3}));
    f.answer(Cmd::ReadCalibration, registersBody(3, {9, 8, 7, 6, 5, 4, 3, 2}));
    f.program.polling.execute(Cmd::ReadMeasurements); // left to time out
    f.program.engine.cancel();
    f.click("Save");

    f.program.controlEditor.findChild<QLineEdit *>(QStringLiteral("SetVal3"))->setText("25.5");
    QTest::mouseClick(f.program.controlEditor.findChild<QPushButton *>(QStringLiteral("SaveCmd")),
                      Qt::LeftButton);
    f.program.alarmEditor.findChild<QLineEdit *>(QStringLiteral("InSel2"))->setText("800");
    QTest::mouseClick(f.program.alarmEditor.findChild<QPushButton *>(QStringLiteral("SaveCmd")),
                      Qt::LeftButton);

    f.asker.files = {dir + QStringLiteral("/traffic.csv"), dir + QStringLiteral("/traffic.txt"),
                     dir + QStringLiteral("/trend.csv")};
    f.program.monitors.trafficMonitor()->exportCsv();
    f.program.monitors.trafficMonitor()->exportText();
    f.program.monitors.trendChart()->exportCsv();
    QVERIFY2(f.asker.kinds().count(QStringLiteral("inform")) == 0,
             qPrintable(f.asker.kinds().join(u' ')));
}

} // namespace

class TestEnglish : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QGuiApplication::setQuitOnLastWindowClosed(false);
        QCoreApplication::setOrganizationName(QStringLiteral("krv2060-tests"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
    }

    // Every caption of every window: Chinese without the translation, English
    // with it, nothing left empty or cut off, and the Chinese texts exactly as
    // before once the translation is gone again.
    void everyWindowInEitherLanguage()
    {
        Captions chinese;
        {
            AllWindows f;
            chinese = f.captions();
        }
        QVERIFY(chinese.size() > 300);
        int chineseCaptions = 0;
        for (const auto &[key, caption] : chinese)
            chineseCaptions += hasChinese(caption.text);
        QVERIFY(chineseCaptions > 150);

        {
            const InterfaceLanguage english(Language::English);
            QVERIFY(english.translated());
            AllWindows f;
            const Captions translated = f.captions();
            QCOMPARE(translated.size(), chinese.size());
            QStringList faults;
            for (const auto &[key, caption] : translated) {
                if (hasChinese(caption.text))
                    faults << key + u'=' + caption.text;
                else if (!caption.isData && caption.text.isEmpty() &&
                         !chinese.at(key).text.isEmpty())
                    faults << key + QStringLiteral(" empty");
            }
            QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
            for (const auto &[name, window] : f.windows())
                QVERIFY2(clipped(window).isEmpty(),
                         qPrintable(name + QStringLiteral(": ") + clipped(window)));
        }

        AllWindows again;
        const Captions back = again.captions();
        QStringList changed;
        for (const auto &[key, caption] : chinese)
            if (back.at(key).text != caption.text)
                changed << key + u'=' + back.at(key).text;
        QVERIFY2(changed.isEmpty(), qPrintable(changed.join(u'\n')));
    }

    // The Chinese windows keep their own sizes whatever the English ones need.
    void chineseLayoutUnchanged()
    {
        AllWindows f;
        QCOMPARE(f.program.controlEditor.size(), QSize(792, 502));
        for (const auto &[name, window] : f.windows())
            QVERIFY2(clipped(window).isEmpty(),
                     qPrintable(name + QStringLiteral(": ") + clipped(window)));
    }

    // Status texts from the link: translated on the status line.
    void statusTextsTranslated()
    {
        const InterfaceLanguage english(Language::English);
        UiFixture f;
        f.edit("Address")->setText("1");
        f.startPolling();
        f.answer(Cmd::ReadMeasurements, registersBody(3, {1, 2, 3, 4, 5, 6, 7, 8}));
        QCOMPARE(f.text("Text2"), QStringLiteral("Data of 8 channels read"));
    }

    // The record, the parameter files and the exports: byte for byte the same
    // in English as in Chinese.
    void filesIndependentOfLanguage()
    {
        const QString zh = m_dir.filePath(QStringLiteral("zh"));
        const QString en = m_dir.filePath(QStringLiteral("en"));
        QVERIFY(QDir().mkpath(zh) && QDir().mkpath(en));
        writeEveryFile(zh);
        {
            const InterfaceLanguage english(Language::English);
            writeEveryFile(en);
        }
        QVERIFY(QDir::setCurrent(m_dir.path()));
        for (const char *name : {"record.DAT", "control.CON", "alarm.ALM", "traffic.csv",
                                 "traffic.txt", "trend.csv"}) {
            const QByteArray chinese = fileBytes(zh + u'/' + QLatin1String(name));
            QVERIFY2(chinese.size() > 20, name);
            const QByteArray english = fileBytes(en + u'/' + QLatin1String(name));
            // The parameter files and the record are compared as they are;
            // the exports (UTF-8) without their clock times.
            if (QByteArray(name).endsWith(".txt")) // aligned columns: digits masked
                QCOMPARE(digitsMasked(english), digitsMasked(chinese));
            else if (QByteArray(name).startsWith("tr"))
                QCOMPARE(comparable(english), comparable(chinese));
            else
                QCOMPARE(english, chinese);
        }
        // The exports keep their Chinese words in both languages.
        QVERIFY(fileBytes(zh + QStringLiteral("/traffic.csv")).contains("读保持寄存器"));
    }

    // The language menu: the running language ticked; a choice saved for the
    // next start, with a message in both languages when it differs from the
    // running one.
    void languageMenuSavesTheChoice()
    {
        QSettings().clear();
        UiFixture f;
        f.program.useLanguage(Language::Chinese);
        auto *menu = f.window.findChild<QMenu *>(QStringLiteral("mnuLanguage"));
        QCOMPARE(menu->title(), QStringLiteral("语言 / Language"));
        auto *zh = f.window.findChild<QAction *>(QStringLiteral("mnuChinese"));
        auto *en = f.window.findChild<QAction *>(QStringLiteral("mnuEnglish"));
        QCOMPARE(zh->text(), QStringLiteral("中文"));
        QCOMPARE(en->text(), QStringLiteral("English"));
        QVERIFY(zh->isChecked() && !en->isChecked());

        en->trigger();
        QVERIFY(en->isChecked() && !zh->isChecked());
        QCOMPARE(QSettings().value(QStringLiteral("language")).toString(), QStringLiteral("en"));
        QCOMPARE(f.asker.kinds(), QStringList{QStringLiteral("inform")});
        QCOMPARE(f.asker.asked[0].text, languageAtNextStartText());
        QVERIFY(f.asker.asked[0].text.contains(QStringLiteral("next start")));
        QCOMPARE(chooseLanguage(std::nullopt, QSettings()), Language::English);
        QCOMPARE(f.text("Text2"), QString()); // the line is left alone

        // Back to the running language: saved, nothing to tell.
        zh->trigger();
        QCOMPARE(QSettings().value(QStringLiteral("language")).toString(), QStringLiteral("zh"));
        QCOMPARE(f.asker.kinds().size(), 1);
        QSettings().clear();
    }

    // Every entry of the English translation is finished and not empty.
    void translationComplete()
    {
        QFile ts(QStringLiteral(KRV_EN_TS));
        QVERIFY(ts.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&ts);
        int messages = 0;
        QStringList unfinished;
        QString source;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement())
                continue;
            if (xml.name() == u"source") {
                source = xml.readElementText();
            } else if (xml.name() == u"translation") {
                ++messages;
                const bool open = xml.attributes().value(QStringLiteral("type")) == u"unfinished";
                if (open || xml.readElementText().isEmpty())
                    unfinished << source;
            }
        }
        QVERIFY(!xml.hasError());
        QVERIFY(messages > 250);
        QVERIFY2(unfinished.isEmpty(), qPrintable(unfinished.join(u'\n')));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestEnglish)
#include "tst_english.moc"
