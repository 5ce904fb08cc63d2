#pragma once
// Answers the program's message boxes in a test and remembers what they said.

#include "Dialogs.h"

#include <QEventLoop>
#include <QString>
#include <QTimer>
#include <deque>
#include <gtest/gtest.h>
#include <vector>

class FakeDialogs : public IDialogs
{
public:
    FakeDialogs() { SetDialogs(this); }
    ~FakeDialogs() override { SetDialogs(nullptr); }

    void ShowMessage(const QString &text) override
    {
        messages.push_back(text);
        if (messageOpenMs <= 0)
            return;
        // Open as a modal box is, until the program closes it or the user would have pressed OK.
        QEventLoop loop;
        m_loop = &loop;
        QTimer::singleShot(messageOpenMs, &loop, &QEventLoop::quit);
        loop.exec();
        m_loop = nullptr;
    }
    void CloseMessage() override
    {
        if (!m_loop)
            return;
        ++closedMessages;
        m_loop->quit();
    }
    // How long a message box stays open unless the program closes it; 0 answers it at once.
    int messageOpenMs = 0;
    // How many boxes the program closed itself.
    int closedMessages = 0;
    void ShowError(const QString &text) override { errors.push_back(text); }
    int MessageDlg(const QString &text, TMsgDlgType type, unsigned buttons) override
    {
        questions.push_back({text, type, buttons});
        if (answers.empty())
            return mrCancel;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    QString Ask(const QString &text, TMsgDlgType type, const QStringList &buttons,
                const QString &escape) override
    {
        asked.push_back({text, type, buttons, escape});
        if (namedAnswers.empty())
            return escape;
        const QString answer = namedAnswers.front();
        namedAnswers.pop_front();
        if (!buttons.contains(answer)) {
            ADD_FAILURE() << "no button \"" << answer.toStdString() << "\" among "
                          << buttons.join(QStringLiteral(", ")).toStdString();
            return escape;
        }
        return answer;
    }

    QString OpenFileName(const QString &title, const QString &filter, const QString &defaultName,
                         QString &folder) override
    {
        fileDialogs.push_back({title, filter, defaultName, folder});
        if (files.empty())
            return QString();
        const QString chosen = files.front();
        files.pop_front();
        if (!chosen.isEmpty())
            folder = chosen.left(chosen.lastIndexOf(QLatin1Char('/')));
        return chosen;
    }

    QString SaveFileName(const QString &title, const QString &, const QString &) override
    {
        saveDialogs.push_back(title);
        if (saveFiles.empty())
            return QString();
        const QString chosen = saveFiles.front();
        saveFiles.pop_front();
        return chosen;
    }
    std::vector<QString> saveDialogs;
    std::deque<QString> saveFiles;

    struct FileDialog
    {
        QString title, filter, defaultName, folder;
    };
    std::vector<FileDialog> fileDialogs;
    // The answers of the next file dialogs; an empty text cancels.
    std::deque<QString> files;

    struct Question
    {
        QString text;
        TMsgDlgType type;
        unsigned buttons;
    };
    struct Asked
    {
        QString text;
        TMsgDlgType type;
        QStringList buttons;
        QString escape;
    };
    std::vector<Asked> asked;
    // The captions of the buttons chosen in the next boxes with named buttons; none left closes them.
    std::deque<QString> namedAnswers;

    std::vector<QString> messages;
    std::vector<QString> errors;
    std::vector<Question> questions;
    std::deque<int> answers;

private:
    QEventLoop *m_loop = nullptr;
};
