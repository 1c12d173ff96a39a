#include "savename.h"

#include "text/legacytextfile.h"
#include "ui/asker.h"

#include <QFileInfo>

namespace krv {

std::optional<QString> SaveName::ask(Asker &asker, QWidget *parent, const SaveQuestion &question)
{
    const auto answer =
        asker.askText(parent, tr("存储设置参数"), question.prompt, question.defaultName);
    if (!answer || answer->isEmpty())
        return std::nullopt;
    const QString name = withDefaultExtension(*answer, question.extension);
    if (QFileInfo::exists(name) &&
        !asker.confirm(parent, programTitle(), tr("文件%1已经存在，要替换吗").arg(name)))
        return std::nullopt;
    return name;
}

} // namespace krv
