// Form3, the login window of Ombrix: user name and password, checked on every press of
// "Entra" against the credential file, read afresh each time.
#pragma once

#include "backup/windows/ombrix_window.h"

#include <filesystem>

class QLineEdit;
class QPushButton;

namespace ombrix {

using namespace shared;

class Form3 : public OmbrixWindow {
    Q_OBJECT
  public:
    explicit Form3(std::filesystem::path programFolder, QWidget* parent = nullptr);

  signals:
    // The login succeeded and this window is hidden for good.
    void loggedIn();

  private:
    void checkLogin();

    std::filesystem::path programFolder_;
    QLineEdit* user_;
    QLineEdit* password_;
    QPushButton* enter_;
};

} // namespace ombrix
