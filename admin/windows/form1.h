// Form1, Tavelo's change-credentials window (tavelo::Form1, beside Ombrix's own backup
// window ombrix::Form1): checks the current user name and password against the credential
// file and, when they match, replaces the account with the new ones.
#pragma once

#include "admin/windows/tavelo_window.h"

#include <filesystem>

class QLabel;
class QLineEdit;

namespace tavelo {

using namespace shared;

class Form1 : public TaveloWindow {
    Q_OBJECT
  public:
    explicit Form1(std::filesystem::path programFolder, QWidget* parent = nullptr);

  signals:
    // "<< Indietro": this window has hidden itself; the user-management window is next.
    void returned();

  private:
    void changeAccount();
    bool anyFieldEmpty() const;
    // The message box first, then the same text in Label5.
    void report(const QString& text);
    void goBack();

    std::filesystem::path programFolder_;
    QLineEdit* oldUser_;
    QLineEdit* oldPassword_;
    QLineEdit* newUser_;
    QLineEdit* newPassword_;
    QLabel* result_;
};

} // namespace tavelo
