// Form2, the destination-folder window of Ombrix: the operator picks the folder the backup
// is saved into, may create a subfolder there, and confirms with "Avanti >>", which
// records the folder in txt/path.txt.
//
// The window lives until the program ends. While hidden, the current folder of Dir1 stays
// the backup's destination: currentFolder() is what the run saves into.
#pragma once

#include "backup/windows/ombrix_window.h"

#include <filesystem>

class QPushButton;

namespace ombrix {

using namespace shared;

class FolderList;

class Form2 : public OmbrixWindow {
    Q_OBJECT
  public:
    explicit Form2(std::filesystem::path programFolder, QWidget* parent = nullptr);

    // Once, before the window is first shown: txt/path.txt names the current folder. On a
    // missing or empty file, or a folder that does not exist, the failure is shown, the
    // program ends and the result is false: the window must then not be shown.
    bool load();

    // The backup's destination: the current folder of Dir1, never a highlighted entry.
    QString currentFolder() const;
    FolderList* folderList() const { return dir1_; }

  signals:
    // "Avanti >>" recorded folder in txt/path.txt: the backup window is to be shown.
    void advanced(const QString& folder);

  private:
    void advance();
    void createFolder();
    std::filesystem::path pathFile() const;

    std::filesystem::path programFolder_;
    FolderList* dir1_;
    QPushButton* create_;
    QPushButton* next_;
};

} // namespace ombrix
