#pragma once
// What the two parameter editor windows (control and alarm parameters) share:
// opening on the line the main window lent, the status boxes bound to the
// editor's own transaction engine, "返 回", saving the fields to a parameter
// file and restoring them from a file the chooser names. A subclass builds its
// grid and says how its fields become file lines and back.

#include "link/editorlink.h"
#include "link/linkstatus.h"
#include "module/moduledata.h"
#include "text/legacytextfile.h"
#include "ui/files/filechooser.h"

#include <QStringList>
#include <QWidget>

#include <optional>

class QLineEdit;
class QPushButton;

namespace krv {

class Asker;

// The parameter files of the two editors. Each editor restores its own kind
// and refuses the other's (by extension, in any case).
struct ParameterFileType
{
    const char *description; // "控制参数文件", translated in EditorWindow's context
    const char *extension;   // ".CON", added to a saved name without a dot
    FileChooser::FileType chooserItem;
};
inline constexpr ParameterFileType ControlParameterFile{
    QT_TRANSLATE_NOOP("krv::EditorWindow", "控制参数文件"), ".CON", FileChooser::ControlFiles};
inline constexpr ParameterFileType AlarmParameterFile{
    QT_TRANSLATE_NOOP("krv::EditorWindow", "报警参数文件"), ".ALM", FileChooser::AlarmFiles};

// The designer names of the block buttons under block b: Read0, Read1,
// read2..read7, Read8 and Write0, write1..write7, Write8 (mixed initials and
// all: scripts and tests find the buttons by them).
QString readButtonName(int block);
QString writeButtonName(int block);

// Why a file's bytes are no parameter file (a fault other than CannotRead and
// TooShort): "它不是普通文件（而是文件夹、设备或管道）" ... The batch words its
// refusals with it too.
QString fieldFileFault(const FieldFile &file);

// The status boxes and the three buttons every editor has, each editor at its
// own twips places: the receive count at the top, then the status, the sent
// frame and the received frame one under the other, and the save, restore and
// return buttons.
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

    QLineEdit *sentFrameBox = nullptr;
    QLineEdit *statusBox = nullptr;
    QLineEdit *receivedFrameBox = nullptr;
    QLineEdit *receiveCountBox = nullptr;
    QPushButton *saveButton = nullptr;
    QPushButton *restoreButton = nullptr;
    QPushButton *returnButton = nullptr;
};

class EditorWindow : public QWidget
{
    Q_OBJECT
public:
    EditorWindow(EditorLink &link, Asker &asker, QWidget *parent = nullptr);

    // The main window has lent its line: shows the window and starts the
    // opening sweep.
    void open();
    // "返 回": the line goes back to the main window (after the writes still
    // waiting have gone out).
    void onReturnClicked();
    // "恢复参数": hides the window and asks for a file (fileWanted).
    void onRestoreClicked();
    // The chooser's answer: the window is shown again and, for a path,
    // restores its fields from that file; an empty path (cancelled) leaves
    // them as they were.
    void onFileChosen(const QString &path);
    // "保存参数".
    virtual void onSaveClicked() = 0;
    // The kind of parameter file this editor saves and restores.
    virtual ParameterFileType fileType() const = 0;

Q_SIGNALS:
    void returned();   // show the main window
    void fileWanted(); // show the file chooser

protected:
    // Binds the status boxes to the editor's engine and the three buttons to
    // their handlers.
    void bindFrame(const EditorFrame &frame);

    // "保存参数": takes the lines `fileLines` gives (it returns nothing when a
    // field cannot be written, having said why), asks for a name (prompt
    // given, title "存储设置参数", default "Norvik"), adds `extension` to a name
    // without a dot, asks before replacing a file, and writes them. A file that
    // cannot be written is reported with its path and the system's reason; an
    // existing file is then left as it was.
    void saveParameters(const QString &prompt, const QString &extension);
    virtual std::optional<QList<QByteArray>> fileLines() = 0;
    // How many values a parameter file of this editor holds (all are read
    // first: a short file changes nothing).
    virtual int fileValueCount() const = 0;
    // Fills the fields from a file's values; returns an explanation when the
    // values cannot be used (nothing changed then).
    virtual std::optional<QString> applyFileValues(const QStringList &values) = 0;
    // Reads a parameter file into the fields, telling the operator why not
    // when it cannot: no such file, the other editor's file, no regular file,
    // too large, no GB2312 text, too few values, or values the editor refuses.
    void restoreFrom(const QString &path);
    // Characters a file cannot hold, for a message: each in quotation marks,
    // an invisible one as U+XXXX.
    static QString characterList(const QStringList &characters);

    void closeEvent(QCloseEvent *event) override;

    EditorLink &m_link;
    Asker &m_asker;

private:
    // The line has been given back: the window hides and the main window shows.
    void onLineReturned();
};

} // namespace krv
