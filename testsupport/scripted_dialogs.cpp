#include "testsupport/scripted_dialogs.h"

using namespace shared;

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

QString ScriptedDialogs::failureMismatch(const QString& title, const QStringList& parts) const {
    if (messages.size() != 1)
        return QStringLiteral("boxes shown: [%1]").arg(texts().join(QStringLiteral(" | ")));
    const ShownMessage& shown = messages.first();
    if (!shown.failure || shown.title != title)
        return QStringLiteral("not a failure box titled %1: %2").arg(title, shown.text);
    for (const QString& part : parts)
        if (!shown.text.contains(part))
            return QStringLiteral("\"%1\" lacks \"%2\"").arg(shown.text, part);
    if (endStatuses != QList<int>{1})
        return QStringLiteral("the program did not end with status 1");
    return QString();
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
