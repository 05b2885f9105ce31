// The dialog seam for tests: records every box and the program's end instead of showing
// or ending anything, and answers input boxes with the answers set beforehand.
#pragma once

#include "desktop/dialogs.h"

#include <QList>
#include <QStringList>

struct ShownMessage {
    QString title;
    QString text;
    bool failure;
};

class ScriptedDialogs : public shared::Dialogs {
  public:
    ScriptedDialogs();           // installs itself
    ~ScriptedDialogs() override; // restores the real boxes

    // The next input box returns answer (an empty text stands for Cancel).
    void setNextAnswer(const QString& answer) { answers_.append(answer); }

    QList<ShownMessage> messages;
    QStringList prompts;    // input boxes shown, as "title: prompt"
    QList<int> endStatuses; // every endProgram() call
    bool ended() const { return !endStatuses.isEmpty(); }
    QStringList texts() const; // the texts of all messages, in order
    // Empty when exactly one failure box was shown, titled title and holding each of parts,
    // and the program then ended with status 1; otherwise what differed.
    QString failureMismatch(const QString& title, const QStringList& parts) const;

  protected:
    void showMessage(QWidget* parent, const QString& title, const QString& text,
                     bool failure) override;
    QString askText(QWidget* parent, const QString& prompt, const QString& title,
                    const QString& proposed) override;
    void quit(int status) override;

  private:
    QStringList answers_;
};
