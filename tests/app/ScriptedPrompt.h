// A prompt that answers from a script and records what the window showed, so tests never meet
// a modal loop.
#pragma once

#include "app/Prompt.h"

#include <QDialog>

#include <deque>
#include <functional>
#include <vector>

class ScriptedPrompt : public Prompt {
  public:
    struct Shown {
        QString kind; // "inform", "confirm" or "error"
        QString caption;
        QString text;
    };
    std::vector<Shown> shown;
    std::deque<bool> answers;       // for Confirm; an unscripted question is answered No
    QString file;                   // ChooseFile's answer
    std::vector<QString> folders;   // what ChooseFile was offered
    QString saveFile;               // ChooseSaveFile's answer
    std::vector<QString> suggested; // what ChooseSaveFile was offered
    // Fills a dialog and says whether it was closed with OK; unset means cancelled.
    std::function<bool(QDialog&)> dialog;

    void Inform(QWidget*, const QString& caption, const QString& text) override {
        shown.push_back({QStringLiteral("inform"), caption, text});
    }
    bool Confirm(QWidget*, const QString& text) override {
        shown.push_back({QStringLiteral("confirm"), QStringLiteral("確認"), text});
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowError(QWidget*, const QString& text) override {
        shown.push_back({QStringLiteral("error"), kAppTitle, text});
    }
    QString ChooseFile(QWidget*, const QString& folder) override {
        folders.push_back(folder);
        return file;
    }
    QString ChooseSaveFile(QWidget*, const QString& start) override {
        suggested.push_back(start);
        return saveFile;
    }
    bool RunDialog(QDialog& d) override { return dialog && dialog(d); }

    QString Texts() const {
        QStringList texts;
        for (const Shown& s : shown)
            texts << s.kind + QLatin1Char(':') + s.text;
        return texts.join(QLatin1Char('|'));
    }
};
