#pragma once
// Answers the program's message boxes in a test and remembers what they said.

#include "Dialogs.h"

#include <QString>
#include <deque>
#include <vector>

class FakeDialogs : public IDialogs
{
public:
    FakeDialogs() { SetDialogs(this); }
    ~FakeDialogs() override { SetDialogs(nullptr); }

    void ShowMessage(const QString &text) override { messages.push_back(text); }
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

    struct Question
    {
        QString text;
        TMsgDlgType type;
        unsigned buttons;
    };
    std::vector<QString> messages;
    std::vector<QString> errors;
    std::vector<Question> questions;
    std::deque<int> answers;
};
