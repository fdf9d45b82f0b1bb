// A UserInteraction for widget tests: dialogs answer with prepared paths and
// every message shown is kept.
#pragma once

#include "gui/ui/user_interaction.h"

#include <deque>

#include <QStringList>

namespace pellam::test {

class RecordingInteraction : public UserInteraction {
public:
    void showMessage(QWidget*, const QString& text) override { messages << text; }

    bool confirm(QWidget*, const QString& question) override {
        questions << question;
        if (confirmAnswers.empty())
            return false;
        const bool answer = confirmAnswers.front();
        confirmAnswers.pop_front();
        return answer;
    }

    SaveAnswer askToSave(QWidget*, const QString& question) override {
        saveQuestions << question;
        if (saveAnswersToAsk.empty())
            return SaveAnswer::Discard;
        const SaveAnswer answer = saveAnswersToAsk.front();
        saveAnswersToAsk.pop_front();
        return answer;
    }

    QString openFileName(QWidget*, const QString& filter, const QString&) override {
        openFilters << filter;
        if (openAnswers.empty())
            return {};
        QString path = openAnswers.front();
        openAnswers.pop_front();
        return path;
    }

    std::optional<SaveChoice> saveFileName(QWidget*, const QString& filter) override {
        saveFilters << filter;
        if (saveAnswers.empty())
            return std::nullopt;
        const bool cancelled = !saveAnswers.front().has_value();
        SaveChoice choice = cancelled ? SaveChoice{} : *saveAnswers.front();
        saveAnswers.pop_front();
        if (cancelled)
            return std::nullopt;
        return choice;
    }

    int chooseItem(QWidget*, const QString&, const QString&, const QStringList& items) override {
        offeredItems << items;
        if (choiceAnswers.empty())
            return -1;
        const int answer = choiceAnswers.front();
        choiceAnswers.pop_front();
        return answer;
    }

    QStringList messages;
    QStringList questions;
    std::deque<bool> confirmAnswers; // empty: no
    QStringList saveQuestions;
    std::deque<SaveAnswer> saveAnswersToAsk; // empty: discard
    QStringList offeredItems;        // every item of every choice offered
    std::deque<int> choiceAnswers;   // empty or -1: cancelled
    QStringList openFilters;
    QStringList saveFilters;
    std::deque<QString> openAnswers;                   // empty string: cancelled
    std::deque<std::optional<SaveChoice>> saveAnswers; // nullopt: cancelled
};

} // namespace pellam::test
