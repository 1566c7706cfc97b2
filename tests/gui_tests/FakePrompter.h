#pragma once
// A prompter that records every question and answers from a script.

#include "app/Prompter.h"
#include "dialogs/UnitConfim.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

// What a picker was asked: its title, starting folder and filter.
struct TPickRequest {
    QString Title;
    QString Folder;
    QString Filter;
};

struct TPrompterLog {
    std::vector<TPickRequest> Picks;
    QStringList Notices;
    QStringList Questions;
    QStringList Errors;
    int Confirms = 0;
};

class TFakePrompter : public TPrompter {
public:
    explicit TFakePrompter(TPrompterLog* log) : FLog(log) {}

    std::deque<bool>* QuestionAnswers = nullptr;
    std::deque<bool>* ConfirmAnswers = nullptr;
    std::deque<QStringList>* OpenFilesAnswers = nullptr;
    std::deque<QString>* FolderAnswers = nullptr;
    std::deque<std::optional<TFontChoice>>* FontAnswers = nullptr;
    std::deque<std::optional<int>>* LineSpacingAnswers = nullptr;
    // When set, the real count-down dialog runs on this short clock and answers by itself.
    int* CountDownTickMs = nullptr;

    void Notice(QWidget*, const QString& text) override { FLog->Notices << text; }
    bool Question(QWidget*, const QString& text) override
    {
        FLog->Questions << text;
        return Take(QuestionAnswers, false);
    }
    void Error(QWidget*, const QString& text) override { FLog->Errors << text; }
    QStringList PickOpenFiles(QWidget*, const QString& title, const QString& folder, const QString& filter) override
    {
        FLog->Picks.push_back({title, folder, filter});
        return Take(OpenFilesAnswers, QStringList());
    }
    QString PickFolder(QWidget*, const QString& title, const QString& folder) override
    {
        FLog->Picks.push_back({title, folder, QString()});
        return Take(FolderAnswers, QString());
    }
    std::optional<TFontChoice> PickFont(QWidget*, const TFontChoice&) override
    {
        return Take(FontAnswers, std::optional<TFontChoice>());
    }
    std::optional<QColor> PickColor(QWidget*, const QColor&) override { return std::nullopt; }
    std::optional<int> PickLineSpacing(QWidget*, int) override
    {
        return Take(LineSpacingAnswers, std::optional<int>());
    }
    bool ConfirmSetMark(QWidget* parent) override
    {
        ++FLog->Confirms;
        if (CountDownTickMs && *CountDownTickMs > 0) {
            TFrmConfim dialog(parent, *CountDownTickMs);
            return dialog.exec() == QDialog::Accepted;
        }
        return Take(ConfirmAnswers, false);
    }

private:
    template <typename T>
    static T Take(std::deque<T>* answers, T fallback)
    {
        if (!answers || answers->empty())
            return fallback;
        T answer = answers->front();
        answers->pop_front();
        return answer;
    }

    TPrompterLog* FLog;
};
