#include "scripted_dialogs.h"

ScriptedDialogs::ScriptedDialogs() {
    Dialogs::install(this);
}

ScriptedDialogs::~ScriptedDialogs() {
    Dialogs::install(nullptr);
}

QStringList ScriptedDialogs::texts() const {
    QStringList all;
    for (const ShownMessage& m : messages)
        all.append(m.text);
    return all;
}

void ScriptedDialogs::showMessage(QWidget*, const QString& title, const QString& text,
                                  bool failure) {
    messages.append({title, text, failure});
}

QString ScriptedDialogs::askText(QWidget*, const QString& prompt, const QString& title,
                                 const QString&) {
    prompts.append(title + QStringLiteral(": ") + prompt);
    return answers_.isEmpty() ? QString() : answers_.takeFirst();
}

void ScriptedDialogs::quit(int status) {
    endStatuses.append(status);
}
