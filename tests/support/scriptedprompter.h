#pragma once

#include "widgets/prompter.h"

#include <QList>
#include <QQueue>
#include <QStringList>
#include <QUrl>

namespace quillerby {

// A Prompter for tests: records every box (kind and exact text) and answers from a queue. An empty queue
// answers the first button of the set (OK or Yes).
class ScriptedPrompter : public Prompter {
public:
    struct Shown {
        PromptKind kind;
        QString text;
        PromptButtons buttons;
    };

    QList<Shown> shown;
    QQueue<PromptAnswer> answers;
    QList<QUrl> openedUrls;
    QQueue<QString> fileNames;

    PromptAnswer show(PromptKind kind, const QString& text, PromptButtons buttons, QWidget*) override {
        shown.append({kind, text, buttons});
        if (!answers.isEmpty())
            return answers.dequeue();
        return buttons == PromptButtons::YesNo || buttons == PromptButtons::YesNoCancel ? PromptAnswer::Yes
                                                                                        : PromptAnswer::Ok;
    }
    void openUrl(const QUrl& url) override { openedUrls.append(url); }
    QString openFileName(const QString&, const QString&, QWidget*) override {
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }

    QStringList texts() const {
        QStringList t;
        for (const Shown& s : shown)
            t << s.text;
        return t;
    }
};

} // namespace quillerby
