#include "backup/windows/folder_list.h"

#include "backup/windows/folder_paths.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>

namespace ombrix {

namespace {

constexpr int kFolderRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;
constexpr int kIndent = 14;

// Indents each entry by its depth below the root, as a folder tree does.
class IndentDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem indented = option;
        indented.rect.adjust(index.data(kDepthRole).toInt() * kIndent, 0, 0, 0);
        QStyledItemDelegate::paint(painter, indented, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) +
               QSize(index.data(kDepthRole).toInt() * kIndent, 0);
    }
};

} // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("Dir1"));
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemDoubleClicked, this, &FolderList::open);
}

QString FolderList::folderOf(const QListWidgetItem* item) {
    return item ? item->data(kFolderRole).toString() : QString();
}

bool FolderList::setCurrentFolder(const QString& folder) {
    const std::optional<QString> normal = NormalFolder(folder);
    if (!normal || !QFileInfo(*normal).isDir())
        return false;
    current_ = *normal;
    refresh();
    return true;
}

void FolderList::refresh() {
    clear();
    const QStringList chain = FolderChain(current_);
    for (int depth = 0; depth < chain.size(); ++depth)
        addEntry(chain[depth], depth, true);
    for (const QString& name : Subfolders(current_))
        addEntry(ChildFolder(current_, name), int(chain.size()), false);
    // The current folder is the highlighted entry until the operator highlights another.
    setCurrentRow(int(chain.size()) - 1);
}

void FolderList::addEntry(const QString& folder, int depth, bool opened) {
    const QStyle::StandardPixmap icon = depth == 0 ? QStyle::SP_DriveHDIcon
                                        : opened   ? QStyle::SP_DirOpenIcon
                                                   : QStyle::SP_DirClosedIcon;
    auto* item = new QListWidgetItem(style()->standardIcon(icon), FolderName(folder), this);
    item->setData(kFolderRole, folder);
    item->setData(kDepthRole, depth);
    item->setToolTip(folder);
}

void FolderList::open(QListWidgetItem* item) {
    const QString folder = folderOf(item);
    if (folder.isEmpty() || folder == current_)
        return;
    // A folder removed since the list was read cannot be opened; the list drops it.
    if (!setCurrentFolder(folder))
        refresh();
}

void FolderList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        open(currentItem());
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace ombrix
