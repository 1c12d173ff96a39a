#pragma once
// The operator's answers to message and input boxes, scripted in advance;
// every question asked is kept.

#include "ui/asker.h"

#include <QList>
#include <QStringList>

#include <optional>

struct Question
{
    QString kind; // "confirm", "inform", "warn", "text", "file", "open" or "folder"
    QString title;
    QString text;
};

class ScriptedAsker : public krv::Asker
{
public:
    QList<Question> asked;
    QList<bool> confirms;                // next answers; OK when none is left
    QList<std::optional<QString>> texts; // next input box answers; Cancel when none
    QList<std::optional<QString>> files; // next file and folder chooser answers; Cancel when none

    bool confirm(QWidget *, const QString &title, const QString &text) override
    {
        asked.append({QStringLiteral("confirm"), title, text});
        return confirms.isEmpty() || confirms.takeFirst();
    }
    void inform(QWidget *, const QString &title, const QString &text) override
    {
        asked.append({QStringLiteral("inform"), title, text});
    }
    void warn(QWidget *, const QString &title, const QString &text) override
    {
        asked.append({QStringLiteral("warn"), title, text});
    }
    std::optional<QString> askText(QWidget *, const QString &title, const QString &prompt,
                                   const QString &defaultText) override
    {
        asked.append({QStringLiteral("text"), title, prompt + QLatin1Char('|') + defaultText});
        return texts.isEmpty() ? std::nullopt : texts.takeFirst();
    }
    std::optional<QString> askSaveFile(QWidget *, const QString &title, const QString &suggested,
                                       const QString &filter) override
    {
        asked.append({QStringLiteral("file"), title, suggested + QLatin1Char('|') + filter});
        return files.isEmpty() ? std::nullopt : files.takeFirst();
    }
    std::optional<QString> askOpenFile(QWidget *, const QString &title, const QString &folder,
                                       const QString &filter) override
    {
        asked.append({QStringLiteral("open"), title, folder + QLatin1Char('|') + filter});
        return files.isEmpty() ? std::nullopt : files.takeFirst();
    }
    std::optional<QString> askFolder(QWidget *, const QString &title,
                                     const QString &folder) override
    {
        asked.append({QStringLiteral("folder"), title, folder});
        return files.isEmpty() ? std::nullopt : files.takeFirst();
    }
    QStringList kinds() const
    {
        QStringList k;
        for (const Question &q : asked)
            k << q.kind;
        return k;
    }
};
