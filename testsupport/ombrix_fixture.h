// Ombrix under test: the real program and windows in a temporary program folder, the boxes
// answered and recorded instead of shown, and the login driven as an operator drives it.
#pragma once

#include "backup/core/text_field.h"
#include "backup/ombrix_program.h"
#include "backup/windows/form3.h"
#include "credentials/credential_file.h"
#include "desktop/text_codec.h"
#include "testsupport/control.h"
#include "testsupport/scripted_dialogs.h"
#include "testsupport/test_program_folder.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// A data file's bytes holding one text field (txt/path.txt, dat/cfg.txt).
inline QByteArray FieldFile(const QString& text) {
    return QByteArray::fromStdString(ombrix::TextFieldRecord(shared::ToWindows1252(text)));
}

// Types the credentials into the login window; pressing "Entra" is the caller's.
inline void FillLogin(ombrix::Form3* form3, const QString& user, const QString& password) {
    Control<QLineEdit>(form3, "Nomeutente")->setText(user);
    Control<QLineEdit>(form3, "Password")->setText(password);
}

// Types the credentials and clicks "Entra".
inline void LogIn(ombrix::Form3* form3, const QString& user, const QString& password) {
    FillLogin(form3, user, password);
    QTest::mouseClick(Control<QPushButton>(form3, "Command1"), Qt::LeftButton);
}

struct Ombrix {
    TestProgramFolder folder;
    ScriptedDialogs dialogs;
    ombrix::OmbrixProgram program{folder.path()};

    // The one account, as Tavelo writes it.
    void account(const QString& user, const QString& password) const {
        QVERIFY(!shared::WriteCredentialFile(folder.path(), shared::ToWindows1252(user),
                                             shared::ToWindows1252(password)));
    }
    // The remembered destination folder, txt/path.txt.
    void remember(const QString& destination) const {
        folder.write(QStringLiteral("txt/path.txt"), FieldFile(destination));
    }
    // The server address, dat/cfg.txt.
    void serverAt(const QString& baseUrl) const {
        folder.write(QStringLiteral("dat/cfg.txt"), FieldFile(baseUrl));
    }
    // Starts the program and logs in: the destination-folder window shows when they match.
    void logIn(const QString& user, const QString& password) {
        program.start();
        LogIn(program.form3(), user, password);
    }
};
