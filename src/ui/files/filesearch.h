#pragma once
// "File Search": where an editor's "恢复参数" lets the user pick the parameter
// file to restore, by drive, directory, type and name. The chooser neither
// opens nor checks the file: confirm or cancel leave the outcome in the shared
// FileChosen and ChosenPath, hide the chooser and hand back to the editor that
// asked (FileRequester). The window is only hidden between uses, so drive,
// directory, pattern and name stay as the user left them.

#include "link/shareddata.h"

#include <QWidget>

class QComboBox;
class QListWidget;
class QPushButton;

namespace krv {

class FileSearch : public QWidget
{
    Q_OBJECT
public:
    explicit FileSearch(FileHandOff &files, QWidget *parent = nullptr);

    // The drives: on Windows the drive letters, elsewhere the mounted volumes
    // (root first).
    static QStringList drives();
    // Dir1's path, a separator (backslash on Windows, "/" elsewhere) and the
    // name, joined as they are.
    static QString joinPath(const QString &directory, const QString &name);

    QString directory() const { return m_directory; }
    QString pattern() const { return m_pattern; }
    // Moves Dir1 to a directory; false (and nothing changes) when it cannot be
    // listed.
    bool setDirectory(const QString &path);

    void Form_Load();
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void FileType_Click(int index);
    void Confirm_Click();
    void Quit_Click();

Q_SIGNALS:
    // The chooser was confirmed or cancelled: show the editor that asked.
    void finished(qint16 requester);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fillDirectories();
    void fillFiles();
    void selectDriveOf(const QString &path);
    void done(bool chosen);

    FileHandOff &m_files;
    bool m_loaded = false;
    QString m_directory;
    int m_driveIndex = -1;
    QString m_pattern = QStringLiteral("*.CON");

    QComboBox *Drive1 = nullptr;
    QListWidget *Dir1 = nullptr;
    QListWidget *File1 = nullptr;
    QComboBox *FileType = nullptr;
    QPushButton *Confirm = nullptr;
    QPushButton *Quit = nullptr;
};

} // namespace krv
