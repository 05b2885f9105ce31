// Dir1, the folder list of the destination-folder window.
//
// It holds one current folder (absolute; the root is "/", others end without a separator)
// and shows the chain from the root down to it, indented, then its subfolders. A single
// click only highlights an entry; a double click (or Enter) opens it: it becomes the
// current folder and the list is rebuilt around it. Only the current folder counts
// anywhere, never the highlighted entry. There is one drive, the root, so no drive change.
#pragma once

#include <QListWidget>

namespace ombrix {

class FolderList : public QListWidget {
    Q_OBJECT
  public:
    explicit FolderList(QWidget* parent = nullptr);

    // Makes folder the current folder and rebuilds the list; false (nothing changed) when
    // it is not an existing folder given by an absolute path.
    bool setCurrentFolder(const QString& folder);
    QString currentFolder() const { return current_; }
    // Reads the subfolders of the current folder again.
    void refresh();

    // The folder an entry stands for.
    static QString folderOf(const QListWidgetItem* item);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void open(QListWidgetItem* item);
    void addEntry(const QString& folder, int depth, bool opened);

    QString current_;
};

} // namespace ombrix
