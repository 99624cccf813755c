// Every message box, file question and modal dialog of the window goes through one interface,
// so tests can answer them without a modal loop.
#pragma once

#include <QString>

class QDialog;
class QWidget;

class Prompt {
  public:
    virtual ~Prompt() = default;
    // No icon, one OK button.
    virtual void Inform(QWidget* owner, const QString& caption, const QString& text) = 0;
    // "確認" with Yes and No, no icon; true for Yes.
    virtual bool Confirm(QWidget* owner, const QString& text) = 0;
    // The top-level error report: the error's message in an error box.
    virtual void ShowError(QWidget* owner, const QString& text) = 0;
    // A workbook or snapshot to import; empty when cancelled.
    virtual QString ChooseFile(QWidget* owner, const QString& folder) = 0;
    // Where to save the drawing, starting from `suggested`; empty when cancelled.
    virtual QString ChooseSaveFile(QWidget* owner, const QString& suggested) = 0;
    // Runs a modal dialog; true when it was closed with OK.
    virtual bool RunDialog(QDialog& dialog) = 0;
};

// The real boxes, with Japanese button texts.
class MessageBoxPrompt : public Prompt {
  public:
    void Inform(QWidget* owner, const QString& caption, const QString& text) override;
    bool Confirm(QWidget* owner, const QString& text) override;
    void ShowError(QWidget* owner, const QString& text) override;
    QString ChooseFile(QWidget* owner, const QString& folder) override;
    QString ChooseSaveFile(QWidget* owner, const QString& suggested) override;
    bool RunDialog(QDialog& dialog) override;
};

// The application's title: the caption of the replace count and of error boxes.
inline const QString kAppTitle = QStringLiteral("Sheetlift");
