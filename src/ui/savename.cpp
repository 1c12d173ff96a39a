#include "savename.h"

#include "text/legacytextfile.h"
#include "ui/asker.h"

#include <QFileInfo>

#include <algorithm>

namespace krv {

std::optional<QString> SaveName::refusal(const QString &name)
{
    if (name.isEmpty())
        return tr("文件名只有空格，没有保存。");
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return tr("“%1”不是文件名：不能含有“/”或“\\”，文件保存在当前文件夹。没有保存。").arg(name);
    // ".", "..", hidden files the chooser never lists, and names whose
    // extension is empty.
    if (name.startsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char('.')))
        return tr("“%1”不是文件名：不能以“.”开头或结尾。没有保存。").arg(name);
    // What Windows refuses in a name: the file must open there too.
    const QString unfit = QStringLiteral("<>:\"|?*");
    const bool fits = std::none_of(name.begin(), name.end(), [&unfit](QChar c) {
        return c.unicode() < 0x20 || c.unicode() == 0x7F || unfit.contains(c);
    });
    if (!fits)
        return tr("“%1”不是文件名：不能含有控制字符或 < > : \" | ? *。没有保存。").arg(name);
    return std::nullopt;
}

std::optional<QString> SaveName::ask(Asker &asker, QWidget *parent, const SaveQuestion &question)
{
    const auto answer =
        asker.askText(parent, tr("存储设置参数"), question.prompt, question.defaultName);
    if (!answer || answer->isEmpty())
        return std::nullopt;
    const QString typed = answer->trimmed();
    if (const auto why = refusal(typed)) {
        asker.inform(parent, programTitle(), *why);
        return std::nullopt;
    }
    const QString name = withDefaultExtension(typed, question.extension);
    if (QFileInfo(name).isDir()) {
        asker.inform(parent, programTitle(), tr("%1是文件夹，没有保存。").arg(name));
        return std::nullopt;
    }
    if (QFileInfo::exists(name) &&
        !asker.confirm(parent, programTitle(), tr("文件%1已经存在，要替换吗").arg(name)))
        return std::nullopt;
    return name;
}

} // namespace krv
