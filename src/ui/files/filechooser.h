#pragma once
// "File Search": where an editor's "恢复参数" lets the user pick the parameter
// file to restore, by drive, directory, type and name. The chooser neither
// opens nor checks the file: confirming, cancelling or closing it hides it
// and answers the editor that asked with the chosen path, or an empty one.
// The window is only hidden between uses, so drive, directory, pattern and
// name stay as the user left them.

#include <QWidget>

class QComboBox;
class QListWidget;
class QPushButton;

namespace krv {

class FileChooser : public QWidget
{
    Q_OBJECT
public:
    explicit FileChooser(QWidget *parent = nullptr);

    // The items of the type list, in order.
    enum FileType { ControlFiles, AlarmFiles, AllFiles };
    // The editor about to ask offers its own type: its item is selected and
    // its files listed (now or at the first showing). When the item already
    // is the selected one, the name left in the name box stays.
    void offerType(FileType type);

    // The drives: on Windows the drive letters, elsewhere the mounted volumes
    // (root first).
    static QStringList drives();
    // A directory's path, a separator (backslash on Windows, "/" elsewhere) and the
    // name, joined as they are.
    static QString joinPath(const QString &directory, const QString &name);

    QString directory() const { return m_directory; }
    QString pattern() const { return m_pattern; }
    // Moves the directory list to a directory; false (and nothing changes)
    // when it cannot be listed.
    bool setDirectory(const QString &path);

    void onDriveChosen();
    void onDirectoryChosen();
    void onFileClicked();
    void onTypeChosen(int index);
    void onConfirmClicked();
    void onCancelClicked();

Q_SIGNALS:
    // The chooser was confirmed (the path of the name in the name box) or
    // cancelled (an empty path); it is hidden by then.
    void finished(const QString &path);

protected:
    void showEvent(QShowEvent *event) override;
    // Closing by the title bar cancels.
    void closeEvent(QCloseEvent *event) override;

private:
    // The first showing: the drives, the types and the working directory.
    void load();
    void fillDirectories();
    void fillFiles();
    void selectDriveOf(const QString &path);
    void finish(const QString &path);

    bool m_loaded = false;
    QString m_directory;
    int m_driveIndex = -1;
    QString m_pattern = QStringLiteral("*.CON");
    FileType m_offered = ControlFiles; // selected at the first showing

    QComboBox *driveList = nullptr;
    QListWidget *directoryList = nullptr;
    QListWidget *fileList = nullptr;
    QComboBox *typeList = nullptr; // its edit field holds the file name
    QPushButton *confirmButton = nullptr;
    QPushButton *cancelButton = nullptr;
};

} // namespace krv
