// Genera, the create-user window: writes the credential file with the digests of the
// user name and password exactly as typed, empty ones included.
#pragma once

#include "admin/windows/tavelo_window.h"

#include <filesystem>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavelo {

using namespace shared;

class Genera : public TaveloWindow {
    Q_OBJECT
  public:
    explicit Genera(std::filesystem::path programFolder, QWidget* parent = nullptr);

  signals:
    // "<< Indietro": this window has hidden itself; the user-management window is next.
    void returned();

  private:
    void writeAccount();
    void goBack();

    std::filesystem::path programFolder_;
    QLineEdit* user_;
    QLineEdit* password_;
    QPushButton* write_;
    QLabel* result_;
};

} // namespace tavelo
