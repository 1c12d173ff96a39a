#include "asker.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace krv {

bool DialogAsker::confirm(QWidget *parent, const QString &title, const QString &text)
{
    return QMessageBox::question(parent, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
}

void DialogAsker::inform(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

void DialogAsker::warn(QWidget *parent, const QString &title, const QString &text)
{
    // Shown window-modal without a nested event loop: the caller returns at once.
    auto *box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

std::optional<QString> DialogAsker::askText(QWidget *parent, const QString &title,
                                            const QString &prompt, const QString &defaultText)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QString> DialogAsker::askSaveFile(QWidget *parent, const QString &title,
                                                const QString &suggested, const QString &filter)
{
    const QString path = QFileDialog::getSaveFileName(parent, title, suggested, filter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> DialogAsker::askOpenFile(QWidget *parent, const QString &title,
                                                const QString &folder, const QString &filter)
{
    const QString path = QFileDialog::getOpenFileName(parent, title, folder, filter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> DialogAsker::askFolder(QWidget *parent, const QString &title,
                                              const QString &folder)
{
    const QString path = QFileDialog::getExistingDirectory(parent, title, folder);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

} // namespace krv
