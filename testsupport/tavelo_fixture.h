// Tavelo under test: the real program and windows in a temporary program folder, the
// boxes answered and recorded instead of shown, and the typing an operator does.
#pragma once

#include "admin/tavelo_program.h"
#include "admin/windows/form1.h"
#include "admin/windows/genera.h"
#include "admin/windows/index.h"
#include "credentials/credential_file.h"
#include "desktop/text_codec.h"
#include "testsupport/control.h"
#include "testsupport/scripted_dialogs.h"
#include "testsupport/test_program_folder.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

inline const QString kCredentialFile = QStringLiteral("txt/backup.txt");

inline QByteArray Record(const QString& user, const QString& password) {
    return QByteArray::fromStdString(
        shared::CredentialRecord(shared::ToWindows1252(user), shared::ToWindows1252(password)));
}

// Types into Genera's boxes; pressing "Genera" is the caller's.
inline void FillGenera(const tavelo::TaveloProgram& tavelo, const QString& user,
                       const QString& password) {
    Control<QLineEdit>(tavelo.genera(), "usr")->setText(user);
    Control<QLineEdit>(tavelo.genera(), "pwd")->setText(password);
}

// Types into Form1's four boxes; pressing "Genera" is the caller's.
inline void FillForm1(const tavelo::TaveloProgram& tavelo, const QString& oldUser,
                      const QString& oldPassword, const QString& newUser,
                      const QString& newPassword) {
    Control<QLineEdit>(tavelo.form1(), "usrv")->setText(oldUser);
    Control<QLineEdit>(tavelo.form1(), "pwdv")->setText(oldPassword);
    Control<QLineEdit>(tavelo.form1(), "usrn")->setText(newUser);
    Control<QLineEdit>(tavelo.form1(), "pwdn")->setText(newPassword);
}

// Also notes, for each box, what a watched label showed while the box was open: the
// windows must change their result label only once the box has been closed.
class WatchingDialogs : public ScriptedDialogs {
  public:
    QLabel* watched = nullptr;
    QStringList watchedDuringBox;

  protected:
    void showMessage(QWidget* parent, const QString& title, const QString& text,
                     bool failure) override {
        if (watched)
            watchedDuringBox.append(watched->text());
        ScriptedDialogs::showMessage(parent, title, text, failure);
    }
};

struct Tavelo {
    TestProgramFolder folder;
    WatchingDialogs dialogs;
    tavelo::TaveloProgram program{folder.path()};

    // The offer is decided here, so the folder must be prepared before.
    void start() { program.start(); }

    void account(const QString& user, const QString& password) const {
        folder.write(kCredentialFile, Record(user, password));
    }
    QByteArray credentialBytes() const { return folder.read(kCredentialFile); }
    bool credentialFileExists() const { return folder.exists(kCredentialFile); }
    void makeCredentialFileReadOnly() const {
        QFile::setPermissions(folder.file(kCredentialFile),
                              QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    }

    template <class T> static T* child(QWidget* window, const char* name) {
        return Control<T>(window, name);
    }
    static QPushButton* button(QWidget* window, const char* name) {
        return child<QPushButton>(window, name);
    }
    static QLineEdit* box(QWidget* window, const char* name) {
        return child<QLineEdit>(window, name);
    }
    static QLabel* label(QWidget* window, const char* name) { return child<QLabel>(window, name); }
    static void click(QWidget* window, const char* name) {
        QTest::mouseClick(button(window, name), Qt::LeftButton);
    }

    void openGenera() { click(program.index(), "Command1"); }
    void openForm1() { click(program.index(), "Command2"); }

    // Types into Genera's boxes and presses "Genera".
    void generate(const QString& user, const QString& password) {
        FillGenera(program, user, password);
        click(program.genera(), "Command1");
    }
    // Types into Form1's four boxes; pressing "Genera" is left to the test.
    void fillForm1(const QString& oldUser, const QString& oldPassword, const QString& newUser,
                   const QString& newPassword) {
        FillForm1(program, oldUser, oldPassword, newUser, newPassword);
    }

    QList<QWidget*> visibleWindows() const {
        QList<QWidget*> visible;
        for (QWidget* w :
             {static_cast<QWidget*>(program.index()), static_cast<QWidget*>(program.genera()),
              static_cast<QWidget*>(program.form1())})
            if (w && w->isVisible())
                visible.append(w);
        return visible;
    }
};
