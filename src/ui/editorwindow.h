#pragma once
// What the two parameter editor windows (control and alarm parameters) share:
// opening with the line the main window lent, the status boxes bound to the
// editor's own transaction engine, "返 回", saving the fields to a parameter
// file and restoring them from the file the chooser handed back. A subclass
// builds its grid and says how its fields become file lines and back.

#include "link/editorlink.h"
#include "link/shareddata.h"

#include <QStringList>
#include <QWidget>

#include <optional>

class QLineEdit;
class QPushButton;

namespace krv {

class Asker;

// The status boxes and the three buttons every editor has, each editor at its
// own twips places: "通讯次数" Text4 at the top, then "状态信息" Text2,
// "发送命令" Text1 and "接收命令" Text3 one under the other, and SaveCmd
// "保存参数", LoadCmd "恢复参数" and Command1 (the return button).
struct EditorFrame
{
    struct Places
    {
        int countLabelX, countBoxX, countY; // the count label and box
        int statusY, sentY, receivedY;      // the three status lines
        int saveX, saveY, loadX, loadY;     // 972 x 492 each
        int backX, backY, backWidth;        // 612 high
    };
    // Builds the controls on `window`; `backCaption` is the return button's.
    static EditorFrame build(QWidget *window, const Places &at, const QString &backCaption);

    QLineEdit *Text1 = nullptr; // sent frame
    QLineEdit *Text2 = nullptr; // status
    QLineEdit *Text3 = nullptr; // received frame
    QLineEdit *Text4 = nullptr; // receive count
    QPushButton *SaveCmd = nullptr;
    QPushButton *LoadCmd = nullptr;
    QPushButton *Command1 = nullptr;
};

class EditorWindow : public QWidget
{
    Q_OBJECT
public:
    // `requester` is this editor's FileRequester code (0 control, 1 alarm).
    EditorWindow(EditorLink &link, SharedState &state, Asker &asker, qint16 requester,
                 QWidget *parent = nullptr);

    // The main window has suspended and lent its line: shows the window and
    // starts the opening sweep.
    void openFromMain();
    // "返 回": the line goes back to the main window.
    void Command1_Click();
    // "恢复参数": asks the chooser for a file.
    void LoadCmd_Click();
    // On every showing: loads the file the chooser handed back, if any.
    void Form_Activate();
    // "保存参数".
    virtual void SaveCmd_Click() = 0;

Q_SIGNALS:
    void returned();   // show the main window
    void chooseFile(); // show the file chooser

protected:
    // Binds the status boxes to the editor's engine and the three buttons to
    // their handlers.
    void bindFrame(const EditorFrame &frame);
    void setStatus(const QString &text);

    // "保存参数": takes the lines `fileLines` gives (it returns nothing when a
    // field cannot be written, having said why), asks for a name (prompt
    // given, title "存储设置参数", default "Norvik"), adds `extension` to a name
    // without a dot, asks before replacing a file, and writes them. A file that
    // cannot be written is reported with its path and the system's reason; an
    // existing file is then left as it was.
    void saveParameters(const QString &prompt, const QString &extension);
    virtual std::optional<QList<QByteArray>> fileLines() = 0;
    // How many values a parameter file of this editor holds, and how they go
    // into the fields (all read first: a short file changes nothing).
    virtual int fileValueCount() const = 0;
    // Fills the fields from a file's values; returns an explanation when the
    // values cannot be used (nothing changed then).
    virtual std::optional<QString> applyFileValues(const QStringList &values) = 0;

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

    EditorLink &m_link;
    SharedState &m_state;
    Asker &m_asker;

private:
    qint16 m_requester;
    QLineEdit *m_status = nullptr;
};

} // namespace krv
