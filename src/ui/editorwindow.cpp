#include "editorwindow.h"

#include "text/legacytextfile.h"
#include "ui/asker.h"
#include "ui/controls.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace krv {

EditorWindow::EditorWindow(EditorLink &link, SharedState &state, Asker &asker, qint16 requester,
                           QWidget *parent)
    : QWidget(parent), m_link(link), m_state(state), m_asker(asker), m_requester(requester)
{
    // A port that cannot be opened or goes away is reported once, as the main
    // window reports its own; the report may come from a sweep tick, so it
    // must not hold up the caller.
    connect(&link.engine(), &TransactionEngine::portError, this,
            [this](const QString &message) { m_asker.warn(this, programTitle(), message); });
}

EditorFrame EditorFrame::build(QWidget *window, const Places &at, const QString &backCaption)
{
    EditorFrame f;
    f.Text4 = makeTextBox(QStringLiteral("Text4"), QStringLiteral("Text4"), window);
    f.Text2 = makeTextBox(QStringLiteral("Text2"), QStringLiteral("Text2"), window);
    f.Text1 = makeTextBox(QStringLiteral("Text1"), QStringLiteral("Text1"), window);
    f.Text3 = makeTextBox(QStringLiteral("Text3"), QStringLiteral("Text3"), window);
    constexpr int LabelWidth = 1065; // four characters
    placeTwips(makeLabel(QStringLiteral("Label4"), EditorWindow::tr("通讯次数"), window),
               at.countLabelX, at.countY, LabelWidth, 252);
    placeTwips(f.Text4, at.countBoxX, at.countY, 1104, 252);
    const struct
    {
        const char *label;
        const char *caption;
        QLineEdit *box;
        int y;
    } lines[] = {
        {"Label2", QT_TRANSLATE_NOOP("krv::EditorWindow", "状态信息"), f.Text2, at.statusY},
        {"Label1", QT_TRANSLATE_NOOP("krv::EditorWindow", "发送命令"), f.Text1, at.sentY},
        {"Label3", QT_TRANSLATE_NOOP("krv::EditorWindow", "接收命令"), f.Text3, at.receivedY}};
    for (const auto &line : lines) {
        placeTwips(makeLabel(QLatin1String(line.label), EditorWindow::tr(line.caption), window),
                   1320, line.y, LabelWidth, 252);
        placeTwips(line.box, 2400, line.y, 5964, 252);
    }
    f.SaveCmd = makeButton(QStringLiteral("SaveCmd"), EditorWindow::tr("保存参数"), window);
    f.LoadCmd = makeButton(QStringLiteral("LoadCmd"), EditorWindow::tr("恢复参数"), window);
    f.Command1 = makeButton(QStringLiteral("Command1"), backCaption, window);
    placeTwips(f.SaveCmd, at.saveX, at.saveY, 972, 492);
    placeTwips(f.LoadCmd, at.loadX, at.loadY, 972, 492);
    placeTwips(f.Command1, at.backX, at.backY, at.backWidth, 612);
    return f;
}

void EditorWindow::bindFrame(const EditorFrame &frame)
{
    m_status = frame.Text2;
    TransactionEngine &engine = m_link.engine();
    connect(&engine, &TransactionEngine::sentFrameText, frame.Text1, &QLineEdit::setText);
    connect(&engine, &TransactionEngine::statusText, frame.Text2, &QLineEdit::setText);
    connect(&engine, &TransactionEngine::receivedFrameText, frame.Text3, &QLineEdit::setText);
    connect(&engine, &TransactionEngine::commCountText, frame.Text4, &QLineEdit::setText);
    connect(frame.SaveCmd, &QPushButton::clicked, this, &EditorWindow::SaveCmd_Click);
    connect(frame.LoadCmd, &QPushButton::clicked, this, &EditorWindow::LoadCmd_Click);
    connect(frame.Command1, &QPushButton::clicked, this, &EditorWindow::Command1_Click);
}

void EditorWindow::setStatus(const QString &text)
{
    if (m_status)
        m_status->setText(text);
}

void EditorWindow::openFromMain()
{
    show();
    raise();
    m_link.open();
}

void EditorWindow::Command1_Click()
{
    m_link.returnToMain();
    hide();
    Q_EMIT returned();
}

void EditorWindow::closeEvent(QCloseEvent *event)
{
    // Closed by its title bar: the line goes back as with "返 回", so the main
    // window is never left hidden without its port.
    if (isVisible()) {
        event->ignore();
        Command1_Click();
        return;
    }
    QWidget::closeEvent(event);
}

void EditorWindow::LoadCmd_Click()
{
    m_state.files.FileRequester = m_requester;
    hide();
    Q_EMIT chooseFile();
}

void EditorWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Form_Activate();
}

void EditorWindow::Form_Activate()
{
    FileHandOff &files = m_state.files;
    if (!files.FileChosen)
        return;
    files.FileChosen = False16;
    const QString path = files.ChosenPath;
    if (!QFileInfo::exists(path)) {
        m_asker.inform(this, programTitle(), tr("文件：%1不存在").arg(path));
        return;
    }
    const FieldFile file = readFieldFile(path, fileValueCount());
    if (!file.error.isEmpty()) {
        m_asker.inform(this, programTitle(), tr("文件%1无法读取：%2").arg(path, file.error));
        return;
    }
    if (file.tooShort) {
        m_asker.inform(this, programTitle(),
                       tr("文件%1中的参数不足%2个，没有恢复。").arg(path).arg(fileValueCount()));
        return;
    }
    if (const auto refused = applyFileValues(file.fields))
        m_asker.inform(this, programTitle(), tr("文件%1没有恢复：%2").arg(path, *refused));
}

void EditorWindow::saveParameters(const QString &prompt, const QString &extension)
{
    // Fields that cannot be written are refused before anything is asked.
    const auto lines = fileLines();
    if (!lines)
        return;
    const auto answer = m_asker.askText(this, tr("存储设置参数"), prompt, QStringLiteral("Norvik"));
    if (!answer || answer->isEmpty())
        return;
    const QString name = withDefaultExtension(*answer, extension);
    if (QFileInfo::exists(name) &&
        !m_asker.confirm(this, programTitle(), tr("文件%1已经存在，要替换吗").arg(name)))
        return;
    QString error;
    if (!saveLines(name, *lines, &error))
        m_asker.inform(this, programTitle(), tr("文件%1无法写入：%2").arg(name, error));
}

} // namespace krv
