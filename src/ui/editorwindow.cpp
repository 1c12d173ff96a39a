#include "editorwindow.h"

#include "text/legacytextfile.h"
#include "ui/asker.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLineEdit>

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

void EditorWindow::bindStatusBoxes(QLineEdit *sent, QLineEdit *status, QLineEdit *received,
                                   QLineEdit *count)
{
    m_status = status;
    TransactionEngine &engine = m_link.engine();
    connect(&engine, &TransactionEngine::sentFrameText, sent, &QLineEdit::setText);
    connect(&engine, &TransactionEngine::statusText, status, &QLineEdit::setText);
    connect(&engine, &TransactionEngine::receivedFrameText, received, &QLineEdit::setText);
    connect(&engine, &TransactionEngine::commCountText, count, &QLineEdit::setText);
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
