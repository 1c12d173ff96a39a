#include "exportfile.h"

#include "ui/asker.h"
#include "ui/systemreason.h"

#include <QCoreApplication>
#include <QSaveFile>

namespace krv {

QString exportToFile(QWidget *parent, Asker &asker, const ExportRequest &request,
                     const std::function<bool(QIODevice &)> &write)
{
    const auto path = asker.askSaveFile(parent, request.title, request.suggested, request.filter);
    if (!path || path->isEmpty())
        return QString();
    QSaveFile file(*path);
    bool ok = file.open(QIODevice::WriteOnly) && write(file);
    // The device's own reason, taken before commit() replaces it.
    QString reason = file.errorString();
    if (ok) {
        ok = file.commit();
        reason = file.errorString();
    } else {
        file.cancelWriting();
    }
    if (ok)
        return *path;
    asker.inform(parent, request.title,
                 QCoreApplication::translate("krv::ExportFile", "文件%1写入失败：%2")
                     .arg(*path, SystemReason::text(reason)));
    return QString();
}

} // namespace krv
