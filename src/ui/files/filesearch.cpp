#include "filesearch.h"

#include "ui/controls.h"

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
// The patterns of the type list, by item.
const char *const Patterns[] = {"*.con", "*.alm", "*.*"};
} // namespace

FileSearch::FileSearch(FileHandOff &files, QWidget *parent) : QWidget(parent), m_files(files)
{
    setObjectName(QStringLiteral("FileSearch"));
    setWindowTitle(QStringLiteral("File Search"));
    setFixedSize(twips(7845), twips(6435));

    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Dir1 = new QListWidget(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    File1 = new QListWidget(this);
    File1->setObjectName(QStringLiteral("File1"));
    FileType = makeComboBox(QStringLiteral("FileType"), QStringLiteral("FileType"), this);
    Confirm = makeButton(QStringLiteral("Confirm"), tr("确  认"), this);
    Quit = makeButton(QStringLiteral("Quit"), tr("取  消"), this);

    placeTwips(Drive1, 240, 480, 2412);
    placeTwips(Dir1, 240, 840, 2412, 3744);
    placeTwips(File1, 2640, 480, 4452, 4185);
    placeTwips(FileType, 240, 4680, 2412);
    placeTwips(Confirm, 3600, 5400, 972, 492);
    placeTwips(Quit, 5640, 5400, 972, 492);

    connect(Drive1, &QComboBox::activated, this, [this] { Drive1_Change(); });
    connect(Dir1, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        if (setDirectory(item->data(PathRole).toString()))
            Dir1_Change();
    });
    connect(File1, &QListWidget::itemClicked, this, [this] { File1_Click(); });
    connect(FileType, &QComboBox::activated, this, &FileSearch::FileType_Click);
    connect(Confirm, &QPushButton::clicked, this, &FileSearch::Confirm_Click);
    connect(Quit, &QPushButton::clicked, this, &FileSearch::Quit_Click);
}

QStringList FileSearch::drives()
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

QString FileSearch::joinPath(const QString &directory, const QString &name)
{
#ifdef Q_OS_WIN
    return directory + QLatin1Char('\\') + name;
#else
    return directory + QLatin1Char('/') + name;
#endif
}

void FileSearch::showEvent(QShowEvent *event)
{
    if (!m_loaded) {
        Form_Load();
    } else {
        // Same directory, pattern and name as last time, but the lists as the
        // disk holds them now (a file saved since is there to pick).
        fillDirectories();
        fillFiles();
    }
    QWidget::showEvent(event);
}

void FileSearch::Form_Load()
{
    m_loaded = true;
    Drive1->addItems(drives());
    addItems(FileType, {tr("控制参数文件*.CON"), tr("报警参数文件*.ALM"), tr("所有文件*.*")});
    FileType->setCurrentIndex(0);
    FileType_Click(0);
    m_pattern = QStringLiteral("*.CON");
    setDirectory(QDir::currentPath());
    Dir1_Change();
}

void FileSearch::selectDriveOf(const QString &path)
{
    // The drive whose root is the longest start of the path.
    int best = -1;
    for (int i = 0; i < Drive1->count(); ++i) {
        const QString root = Drive1->itemText(i);
        if (path.startsWith(root, Qt::CaseInsensitive) &&
            (best < 0 || root.size() > Drive1->itemText(best).size()))
            best = i;
    }
    m_driveIndex = best;
    const QSignalBlocker quiet(Drive1);
    Drive1->setCurrentIndex(best);
}

bool FileSearch::setDirectory(const QString &path)
{
    const QDir dir(path);
    if (!dir.exists() || !dir.isReadable())
        return false;
    m_directory = QDir::toNativeSeparators(dir.absolutePath());
    selectDriveOf(m_directory);
    fillDirectories();
    return true;
}

void FileSearch::Drive1_Change()
{
    const QString root = Drive1->currentText();
    const QStorageInfo volume(root);
    if (!volume.isReady() || !setDirectory(root)) {
        // A drive that is not ready: stay on the previous drive and directory.
        const QSignalBlocker quiet(Drive1);
        Drive1->setCurrentIndex(m_driveIndex);
        return;
    }
    Dir1_Change();
}

void FileSearch::fillDirectories()
{
    // The path from the root down to the directory, then its subdirectories.
    Dir1->clear();
    QStringList chain;
    QDir up(m_directory);
    do {
        chain.prepend(up.absolutePath());
    } while (up.cdUp());
    int depth = 0;
    for (const QString &path : chain) {
        const QString name = depth == 0 ? QDir::toNativeSeparators(path) : QDir(path).dirName();
        auto *item = new QListWidgetItem(QString(2 * depth, QLatin1Char(' ')) + name, Dir1);
        item->setData(PathRole, path);
        ++depth;
    }
    Dir1->setCurrentRow(Dir1->count() - 1);
    const QDir here(m_directory);
    const QStringList subdirs =
        here.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString &sub : subdirs) {
        auto *item = new QListWidgetItem(QString(2 * depth, QLatin1Char(' ')) + sub, Dir1);
        item->setData(PathRole, here.absoluteFilePath(sub));
    }
}

void FileSearch::Dir1_Change()
{
    fillFiles();
}

void FileSearch::fillFiles()
{
    File1->clear();
    // Name filters match without regard to case (ABC.CON is a "*.con" file).
    const QDir here(m_directory);
    File1->addItems(here.entryList({m_pattern}, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void FileSearch::File1_Click()
{
    if (QListWidgetItem *item = File1->currentItem())
        FileType->setEditText(item->text());
}

void FileSearch::FileType_Click(int index)
{
    if (index < 0 || index > 2)
        return;
    m_pattern = QString::fromLatin1(Patterns[index]);
    fillFiles();
}

void FileSearch::done(bool chosen)
{
    m_files.FileChosen = chosen ? True16 : False16;
    if (chosen)
        m_files.ChosenPath = joinPath(m_directory, FileType->currentText());
    hide();
    Q_EMIT finished(m_files.FileRequester);
}

void FileSearch::Confirm_Click()
{
    done(true);
}

void FileSearch::Quit_Click()
{
    done(false);
}

} // namespace krv
