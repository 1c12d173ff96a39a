#include "editorwindow.h"

#include "text/legacytextfile.h"
#include "ui/asker.h"
#include "ui/controls.h"
#include "ui/savename.h"
#include "ui/statustext.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace krv {

QString fieldFileFault(const FieldFile &file)
{
    switch (file.fault) {
    case FieldFile::Fault::NotARegularFile:
        return EditorWindow::tr("它不是普通文件（而是文件夹、设备或管道）");
    case FieldFile::Fault::TooLarge:
        return EditorWindow::tr("它有%1字节，参数文件不超过%2字节")
            .arg(file.size)
            .arg(FieldFileMaxBytes);
    case FieldFile::Fault::ControlCharacter:
        return EditorWindow::tr("第%1字节是控制字符0x%2，这不是文本文件")
            .arg(file.at + 1)
            .arg(QStringLiteral("%1").arg(uint(file.byte), 2, 16, QLatin1Char('0')).toUpper());
    case FieldFile::Fault::Utf8:
        return EditorWindow::tr("它是UTF-8编码的文本，不是GB2312编码");
    case FieldFile::Fault::NotGb2312:
        return EditorWindow::tr("第%1字节起不是GB2312编码的文字").arg(file.at + 1);
    default:
        return QString();
    }
}

QString readButtonName(int block)
{
    const bool capital = block <= 1 || block == BlockCount - 1;
    return QLatin1String(capital ? "Read" : "read") + QString::number(block);
}

QString writeButtonName(int block)
{
    const bool capital = block == 0 || block == BlockCount - 1;
    return QLatin1String(capital ? "Write" : "write") + QString::number(block);
}

EditorWindow::EditorWindow(EditorLink &link, Asker &asker, QWidget *parent)
    : QWidget(parent), m_link(link), m_asker(asker)
{
    // A port that cannot be opened or goes away is reported once, as the main
    // window reports its own; the report may come from a sweep tick, so it
    // must not hold up the caller.
    connect(&link, &EditorLink::returned, this, &EditorWindow::onLineReturned);
    connect(&link.engine(), &TransactionEngine::portFailed, this,
            [this](const PortFailure &failure) {
                m_asker.warn(this, programTitle(), StatusText::of(failure));
            });
}

EditorFrame EditorFrame::build(QWidget *window, const Places &at, const QString &backCaption)
{
    EditorFrame f;
    f.receiveCountBox = makeTextBox(QStringLiteral("Text4"), QStringLiteral("Text4"), window);
    f.statusBox = makeTextBox(QStringLiteral("Text2"), QStringLiteral("Text2"), window);
    f.sentFrameBox = makeTextBox(QStringLiteral("Text1"), QStringLiteral("Text1"), window);
    f.receivedFrameBox = makeTextBox(QStringLiteral("Text3"), QStringLiteral("Text3"), window);
    constexpr int LabelWidth = 1065; // four characters
    placeTwips(makeLabel(QStringLiteral("Label4"), EditorWindow::tr("通讯次数"), window),
               at.countLabelX, at.countY, LabelWidth, 252);
    placeTwips(f.receiveCountBox, at.countBoxX, at.countY, 1104, 252);
    const struct
    {
        const char *label;
        const char *caption;
        QLineEdit *box;
        int y;
    } lines[] = {
        {"Label2", QT_TRANSLATE_NOOP("krv::EditorWindow", "状态信息"), f.statusBox, at.statusY},
        {"Label1", QT_TRANSLATE_NOOP("krv::EditorWindow", "发送命令"), f.sentFrameBox, at.sentY},
        {"Label3", QT_TRANSLATE_NOOP("krv::EditorWindow", "接收命令"), f.receivedFrameBox,
         at.receivedY}};
    for (const auto &line : lines) {
        placeTwips(makeLabel(QLatin1String(line.label), EditorWindow::tr(line.caption), window),
                   1320, line.y, LabelWidth, 252);
        placeTwips(line.box, 2400, line.y, 5964, 252);
    }
    f.saveButton = makeButton(QStringLiteral("SaveCmd"), EditorWindow::tr("保存参数"), window);
    f.restoreButton = makeButton(QStringLiteral("LoadCmd"), EditorWindow::tr("恢复参数"), window);
    f.returnButton = makeButton(QStringLiteral("Command1"), backCaption, window);
    placeTwips(f.saveButton, at.saveX, at.saveY, 972, 492);
    placeTwips(f.restoreButton, at.loadX, at.loadY, 972, 492);
    placeTwips(f.returnButton, at.backX, at.backY, at.backWidth, 612);
    return f;
}

void EditorWindow::bindFrame(const EditorFrame &frame)
{
    TransactionEngine &engine = m_link.engine();
    connect(&engine, &TransactionEngine::frameSent, frame.sentFrameBox, &QLineEdit::setText);
    connect(&engine, &TransactionEngine::statusChanged, frame.statusBox,
            [box = frame.statusBox](const LinkStatus &status) {
                box->setText(StatusText::of(status));
            });
    connect(&engine, &TransactionEngine::frameReceived, frame.receivedFrameBox,
            &QLineEdit::setText);
    connect(&engine, &TransactionEngine::receiveCountChanged, frame.receiveCountBox,
            [box = frame.receiveCountBox](int n) { box->setText(StatusText::count(n)); });
    connect(frame.saveButton, &QPushButton::clicked, this, &EditorWindow::onSaveClicked);
    connect(frame.restoreButton, &QPushButton::clicked, this, &EditorWindow::onRestoreClicked);
    connect(frame.returnButton, &QPushButton::clicked, this, &EditorWindow::onReturnClicked);
}

void EditorWindow::open()
{
    setEnabled(true);
    show();
    raise();
    m_link.open();
}

void EditorWindow::onReturnClicked()
{
    if (m_link.returning())
        return;
    // Writes still waiting go out first; until the line is given back the
    // window takes no more input.
    setEnabled(false);
    m_link.returnToMain();
}

void EditorWindow::onLineReturned()
{
    hide();
    Q_EMIT returned();
}

void EditorWindow::closeEvent(QCloseEvent *event)
{
    // Closed by its title bar: the line goes back as with "返 回", so the main
    // window is never left hidden without its port.
    if (isVisible()) {
        event->ignore();
        onReturnClicked();
        return;
    }
    QWidget::closeEvent(event);
}

void EditorWindow::onRestoreClicked()
{
    hide();
    Q_EMIT fileWanted();
}

void EditorWindow::onFileChosen(const QString &path)
{
    show();
    if (!path.isEmpty())
        restoreFrom(path);
}

void EditorWindow::restoreFrom(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        m_asker.inform(this, programTitle(), tr("文件：%1不存在").arg(path));
        return;
    }
    // The other editor's file would fill the fields with values of another
    // meaning.
    const ParameterFileType own = fileType();
    const QString suffix = QFileInfo(path).suffix();
    for (const ParameterFileType &other : {ControlParameterFile, AlarmParameterFile}) {
        if (qstrcmp(other.extension, own.extension) != 0 &&
            suffix.compare(QLatin1String(other.extension + 1), Qt::CaseInsensitive) == 0) {
            m_asker.inform(this, programTitle(),
                           tr("文件%1没有恢复：它是%2（%3），不是%4（%5）")
                               .arg(path, tr(other.description), QLatin1String(other.extension),
                                    tr(own.description), QLatin1String(own.extension)));
            return;
        }
    }
    const FieldFile file = readFieldFile(path, fileValueCount());
    switch (file.fault) {
    case FieldFile::Fault::None:
        break;
    case FieldFile::Fault::CannotRead:
        m_asker.inform(this, programTitle(), tr("文件%1无法读取：%2").arg(path, file.error));
        return;
    case FieldFile::Fault::TooShort:
        m_asker.inform(this, programTitle(),
                       tr("文件%1中的参数不足%2个，没有恢复。").arg(path).arg(fileValueCount()));
        return;
    default:
        m_asker.inform(this, programTitle(),
                       tr("文件%1没有恢复：%2").arg(path, fieldFileFault(file)));
        return;
    }
    if (const auto refused = applyFileValues(file.fields))
        m_asker.inform(this, programTitle(), tr("文件%1没有恢复：%2").arg(path, *refused));
}

QString EditorWindow::characterList(const QStringList &characters)
{
    QString out;
    for (const QString &c : characters) {
        out += c.size() == 1 && !c[0].isPrint()
                   ? QStringLiteral("U+%1")
                         .arg(uint(c[0].unicode()), 4, 16, QLatin1Char('0'))
                         .toUpper()
                   : QStringLiteral("“%1”").arg(c);
    }
    return out;
}

void EditorWindow::saveParameters(const QString &prompt, const QString &extension)
{
    // Fields that cannot be written are refused before anything is asked.
    const auto lines = fileLines();
    if (!lines)
        return;
    const auto name = SaveName::ask(m_asker, this, {prompt, QStringLiteral("Norvik"), extension});
    if (!name)
        return;
    QString error;
    if (!saveLines(*name, *lines, &error))
        m_asker.inform(this, programTitle(), tr("文件%1无法写入：%2").arg(*name, error));
}

} // namespace krv
