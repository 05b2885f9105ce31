// Index, the user-management window and start window of Tavelo. At its load it offers
// the creation of the account when no credential file exists, its change otherwise;
// afterwards only the returns from the other two windows change the offer.
#pragma once

#include "admin/windows/tavelo_window.h"

#include <filesystem>

class QPushButton;

namespace tavelo {

using namespace shared;

class Index : public TaveloWindow {
    Q_OBJECT
  public:
    // Loads the window: the one existence test of the run is made here.
    explicit Index(const std::filesystem::path& programFolder, QWidget* parent = nullptr);

    // Only "Cambia Nome Utente e Password" enabled, as after every return.
    void offerChange();

  signals:
    void createChosen(); // "Genera Utente"
    void changeChosen(); // "Cambia Nome Utente e Password"

  private:
    QPushButton* create_;
    QPushButton* change_;
};

} // namespace tavelo
