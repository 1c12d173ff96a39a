#include "filechooser.h"

#include "ui/controls.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStorageInfo>

namespace krv {

namespace {
constexpr int PathRole = Qt::UserRole;
// The patterns of the type list, by item (they match names in any case).
const char *const Patterns[] = {"*.CON", "*.ALM", "*.*"};
} // namespace

FileChooser::FileChooser(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FileSearch"));
    setWindowTitle(QStringLiteral("File Search"));
    setFixedSize(twips(7845), twips(6435));

    driveList = new QComboBox(this);
    driveList->setObjectName(QStringLiteral("Drive1"));
    directoryList = new QListWidget(this);
    directoryList->setObjectName(QStringLiteral("Dir1"));
    fileList = new QListWidget(this);
    fileList->setObjectName(QStringLiteral("File1"));
    typeList = makeComboBox(QStringLiteral("FileType"), QStringLiteral("FileType"), this);
    confirmButton = makeButton(QStringLiteral("Confirm"), tr("确  认"), this);
    cancelButton = makeButton(QStringLiteral("Quit"), tr("取  消"), this);

    placeTwips(driveList, 240, 480, 2412);
    placeTwips(directoryList, 240, 840, 2412, 3744);
    placeTwips(fileList, 2640, 480, 4452, 4185);
    placeTwips(typeList, 240, 4680, 2412);
    placeTwips(confirmButton, 3600, 5400, 972, 492);
    placeTwips(cancelButton, 5640, 5400, 972, 492);

    connect(driveList, &QComboBox::activated, this, [this] { onDriveChosen(); });
    connect(directoryList, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        if (setDirectory(item->data(PathRole).toString()))
            onDirectoryChosen();
    });
    connect(fileList, &QListWidget::itemClicked, this, [this] { onFileClicked(); });
    connect(typeList, &QComboBox::activated, this, &FileChooser::onTypeChosen);
    connect(confirmButton, &QPushButton::clicked, this, &FileChooser::onConfirmClicked);
    connect(cancelButton, &QPushButton::clicked, this, &FileChooser::onCancelClicked);
}

QStringList FileChooser::drives()
{
    QStringList out;
#ifdef Q_OS_WIN
    for (const QFileInfo &drive : QDir::drives())
        out << QDir::toNativeSeparators(drive.absolutePath());
#else
    out << QStringLiteral("/");
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && !out.contains(volume.rootPath()))
            out << volume.rootPath();
    }
#endif
    return out;
}

QString FileChooser::joinPath(const QString &directory, const QString &name)
{
#ifdef Q_OS_WIN
    return directory + QLatin1Char('\\') + name;
#else
    return directory + QLatin1Char('/') + name;
#endif
}

void FileChooser::showEvent(QShowEvent *event)
{
    if (!m_loaded) {
        load();
    } else {
        // Same directory, pattern and name as last time, but the lists as the
        // disk holds them now (a file saved since is there to pick).
        fillDirectories();
        fillFiles();
    }
    QWidget::showEvent(event);
}

void FileChooser::load()
{
    m_loaded = true;
    driveList->addItems(drives());
    addItems(typeList, {tr("控制参数文件*.CON"), tr("报警参数文件*.ALM"), tr("所有文件*.*")});
    typeList->setCurrentIndex(m_offered);
    onTypeChosen(m_offered);
    setDirectory(QDir::currentPath());
    onDirectoryChosen();
}

void FileChooser::offerType(FileType type)
{
    m_offered = type;
    if (!m_loaded || m_pattern == QLatin1String(Patterns[type]))
        return;
    // The name box shows the item, as at the first showing.
    typeList->setCurrentIndex(type);
    typeList->setEditText(typeList->itemText(type));
    onTypeChosen(type);
}

void FileChooser::selectDriveOf(const QString &path)
{
    // The drive whose root is the longest start of the path.
    int best = -1;
    for (int i = 0; i < driveList->count(); ++i) {
        const QString root = driveList->itemText(i);
        if (path.startsWith(root, Qt::CaseInsensitive) &&
            (best < 0 || root.size() > driveList->itemText(best).size()))
            best = i;
    }
    m_driveIndex = best;
    const QSignalBlocker quiet(driveList);
    driveList->setCurrentIndex(best);
}

bool FileChooser::setDirectory(const QString &path)
{
    const QDir dir(path);
    if (!dir.exists() || !dir.isReadable())
        return false;
    m_directory = QDir::toNativeSeparators(dir.absolutePath());
    selectDriveOf(m_directory);
    fillDirectories();
    return true;
}

void FileChooser::onDriveChosen()
{
    const QString root = driveList->currentText();
    const QStorageInfo volume(root);
    if (!volume.isReady() || !setDirectory(root)) {
        // A drive that is not ready: stay on the previous drive and directory.
        const QSignalBlocker quiet(driveList);
        driveList->setCurrentIndex(m_driveIndex);
        return;
    }
    onDirectoryChosen();
}

void FileChooser::fillDirectories()
{
    // The path from the root down to the directory, then its subdirectories.
    directoryList->clear();
    QStringList chain;
    QDir up(m_directory);
    do {
        chain.prepend(up.absolutePath());
    } while (up.cdUp());
    int depth = 0;
    for (const QString &path : chain) {
        const QString name = depth == 0 ? QDir::toNativeSeparators(path) : QDir(path).dirName();
        auto *item =
            new QListWidgetItem(QString(2 * depth, QLatin1Char(' ')) + name, directoryList);
        item->setData(PathRole, path);
        ++depth;
    }
    directoryList->setCurrentRow(directoryList->count() - 1);
    const QDir here(m_directory);
    const QStringList subdirs =
        here.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &sub : subdirs) {
        auto *item = new QListWidgetItem(QString(2 * depth, QLatin1Char(' ')) + sub, directoryList);
        item->setData(PathRole, here.absoluteFilePath(sub));
    }
}

void FileChooser::onDirectoryChosen()
{
    fillFiles();
}

void FileChooser::fillFiles()
{
    fileList->clear();
    // Name filters match without regard to case (ABC.CON is a "*.con" file).
    const QDir here(m_directory);
    fileList->addItems(here.entryList({m_pattern}, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void FileChooser::onFileClicked()
{
    if (QListWidgetItem *item = fileList->currentItem())
        typeList->setEditText(item->text());
}

void FileChooser::onTypeChosen(int index)
{
    if (index < 0 || index > 2)
        return;
    m_pattern = QString::fromLatin1(Patterns[index]);
    fillFiles();
}

void FileChooser::finish(const QString &path)
{
    hide();
    Q_EMIT finished(path);
}

void FileChooser::onConfirmClicked()
{
    finish(joinPath(m_directory, typeList->currentText()));
}

void FileChooser::onCancelClicked()
{
    finish(QString());
}

void FileChooser::closeEvent(QCloseEvent *event)
{
    // The title bar's close is a cancel: the editor that asked comes back with
    // its boxes as they were, and the program runs on.
    event->ignore();
    if (isVisible())
        onCancelClicked();
}

} // namespace krv
