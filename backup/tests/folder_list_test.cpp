// The folder list Dir1 and the folder logic under it, on real folders.
#include "backup/windows/folder_list.h"
#include "backup/windows/folder_paths.h"
#include "backup/windows/new_folder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ombrix;

namespace {

// A folder with a few subfolders (one hidden) and a file.
struct Tree {
    QTemporaryDir dir;
    QString root = QDir::cleanPath(dir.path());

    Tree() {
        for (const char* name : {"beta", "Alfa", "gamma/interna", ".nascosta"})
            QDir(root).mkpath(QString::fromLatin1(name));
        QFile file(root + QStringLiteral("/documento.txt"));
        file.open(QIODevice::WriteOnly);
    }
    QString at(const QString& relative) const { return root + QLatin1Char('/') + relative; }
};

QStringList Folders(const FolderList& list) {
    QStringList folders;
    for (int row = 0; row < list.count(); ++row)
        folders.append(FolderList::folderOf(list.item(row)));
    return folders;
}

QListWidgetItem* ItemFor(const FolderList& list, const QString& folder) {
    for (int row = 0; row < list.count(); ++row)
        if (FolderList::folderOf(list.item(row)) == folder)
            return list.item(row);
    return nullptr;
}

QPoint Centre(FolderList& list, QListWidgetItem* item) {
    list.scrollToItem(item);
    return list.visualItemRect(item).center();
}

// As the window system delivers it: a click, then the double click.
void DoubleClick(FolderList& list, QListWidgetItem* item) {
    const QPoint centre = Centre(list, item);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, centre);
}

void Click(FolderList& list, QListWidgetItem* item) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, Centre(list, item));
}

} // namespace

class FolderListTest : public QObject {
    Q_OBJECT
  private slots:
    void normalFolders_data();
    void normalFolders();
    void chainsAndChildren_data();
    void chainsAndChildren();
    void createSubfolder_data();
    void createSubfolder();
    void showsTheChainThenTheSortedSubfolders();
    void theRootIsAFolderLikeAnyOther();
    void refusesAFolderThatIsNotThere_data();
    void refusesAFolderThatIsNotThere();
    void aSingleClickOnlyHighlights();
    void aDoubleClickOpens_data();
    void aDoubleClickOpens();
    void enterOpensTheHighlightedEntry();
    void aFolderGoneSinceTheListWasReadIsDropped();
    void aCurrentFolderGoneLeavesAnEmptyList();
    void refreshReadsTheSubfoldersAgain();
};

void FolderListTest::normalFolders_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("normal"); // empty: no folder
    QTest::newRow("root") << "/"
                          << "/";
    QTest::newRow("plain") << "/a/b"
                           << "/a/b";
    QTest::newRow("trailing separator") << "/a/b/"
                                        << "/a/b";
    QTest::newRow("doubled separators") << "//a//b"
                                        << "/a/b";
    QTest::newRow("dot parts") << "/a/./c/../b"
                               << "/a/b";
    QTest::newRow("blanks and commas kept") << "/a, b /c "
                                            << "/a, b /c ";
    QTest::newRow("relative") << "a/b"
                              << "";
    QTest::newRow("empty") << ""
                           << "";
}

void FolderListTest::normalFolders() {
    QFETCH(QString, path);
    QFETCH(QString, normal);
    QCOMPARE(NormalFolder(path).value_or(QString()), normal);
}

void FolderListTest::chainsAndChildren_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("chain");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("child");
    QTest::newRow("root") << "/" << QStringList{"/"} << "/"
                          << "/x";
    QTest::newRow("one down") << "/a" << QStringList{"/", "/a"} << "a"
                              << "/a/x";
    QTest::newRow("deeper") << "/a/b c" << QStringList{"/", "/a", "/a/b c"} << "b c"
                            << "/a/b c/x";
}

void FolderListTest::chainsAndChildren() {
    QFETCH(QString, folder);
    QFETCH(QStringList, chain);
    QFETCH(QString, name);
    QFETCH(QString, child);
    QCOMPARE(FolderChain(folder), chain);
    QCOMPARE(FolderName(folder), name);
    QCOMPARE(ChildFolder(folder, QStringLiteral("x")), child);
}

void FolderListTest::createSubfolder_data() {
    QTest::addColumn<QString>("parent"); // inside the tree; empty for the tree itself
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("made");
    QTest::addColumn<QString>("cause"); // part of the message when not made
    QTest::newRow("new") << ""
                         << "Nuova" << true << "";
    QTest::newRow("blanks kept") << ""
                                 << " con spazi " << true << "";
    QTest::newRow("accents") << ""
                             << "perché" << true << "";
    QTest::newRow("deeper") << "gamma"
                            << "Nuova" << true << "";
    QTest::newRow("existing folder") << ""
                                     << "beta" << false << "esiste già";
    QTest::newRow("existing file") << ""
                                   << "documento.txt" << false << "esiste già";
    QTest::newRow("hidden existing") << ""
                                     << ".nascosta" << false << "esiste già";
    QTest::newRow("dot") << ""
                         << "." << false << "il nome";
    QTest::newRow("dot dot") << ""
                             << ".." << false << "il nome";
    QTest::newRow("separator") << ""
                               << "a/b" << false << "il nome";
    QTest::newRow("too long") << "" << QString(300, QLatin1Char('x')) << false << "troppo lungo";
    QTest::newRow("current folder gone") << "gamma/interna"
                                         << "x" << false << "non esiste più";
}

void FolderListTest::createSubfolder() {
    QFETCH(QString, parent);
    QFETCH(QString, name);
    QFETCH(bool, made);
    QFETCH(QString, cause);
    Tree tree;
    QVERIFY(QDir(tree.at("gamma/interna")).removeRecursively());
    const QString folder = parent.isEmpty() ? tree.root : tree.at(parent);
    const QStringList before = QDir(tree.root).entryList(QDir::AllEntries | QDir::Hidden);
    const std::optional<QString> failure = CreateSubfolder(folder, name);
    QCOMPARE(!failure.has_value(), made);
    const QString created = ChildFolder(folder, name);
    if (made) {
        QVERIFY(QFileInfo(created).isDir());
        return;
    }
    QVERIFY2(failure->contains(created), qPrintable(*failure));
    QVERIFY2(failure->contains(cause), qPrintable(*failure));
    QCOMPARE(QDir(tree.root).entryList(QDir::AllEntries | QDir::Hidden), before);
}

void FolderListTest::showsTheChainThenTheSortedSubfolders() {
    Tree tree;
    FolderList list;
    QCOMPARE(list.objectName(), QStringLiteral("Dir1"));
    QVERIFY(list.setCurrentFolder(tree.root + QLatin1Char('/')));
    QCOMPARE(list.currentFolder(), tree.root);
    QStringList expected = FolderChain(tree.root);
    expected << tree.at("Alfa") << tree.at("beta") << tree.at("gamma");
    QCOMPARE(Folders(list), expected);
    QCOMPARE(list.item(0)->text(), QStringLiteral("/"));
    QCOMPARE(list.item(list.count() - 1)->text(), QStringLiteral("gamma"));
    // The current folder is highlighted at first.
    QCOMPARE(FolderList::folderOf(list.currentItem()), tree.root);
}

void FolderListTest::theRootIsAFolderLikeAnyOther() {
    FolderList list;
    QVERIFY(list.setCurrentFolder(QStringLiteral("/")));
    QCOMPARE(list.currentFolder(), QStringLiteral("/"));
    QCOMPARE(FolderList::folderOf(list.item(0)), QStringLiteral("/"));
    const QStringList subfolders = Subfolders(QStringLiteral("/"));
    QCOMPARE(list.count(), 1 + subfolders.size());
    if (!subfolders.isEmpty())
        QCOMPARE(FolderList::folderOf(list.item(1)), QLatin1Char('/') + subfolders[0]);
}

void FolderListTest::refusesAFolderThatIsNotThere_data() {
    QTest::addColumn<QString>("relative");
    QTest::newRow("missing") << "manca";
    QTest::newRow("a file") << "documento.txt";
}

void FolderListTest::refusesAFolderThatIsNotThere() {
    QFETCH(QString, relative);
    Tree tree;
    FolderList list;
    QVERIFY(list.setCurrentFolder(tree.at("beta")));
    QVERIFY(!list.setCurrentFolder(tree.at(relative)));
    QVERIFY(!list.setCurrentFolder(QStringLiteral("beta")));
    QCOMPARE(list.currentFolder(), tree.at("beta"));
}

void FolderListTest::aSingleClickOnlyHighlights() {
    Tree tree;
    FolderList list;
    list.resize(300, 400);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QVERIFY(list.setCurrentFolder(tree.root));
    QListWidgetItem* beta = ItemFor(list, tree.at("beta"));
    Click(list, beta);
    QCOMPARE(list.currentItem(), beta);
    QCOMPARE(list.currentFolder(), tree.root);
    QCOMPARE(list.count(), FolderChain(tree.root).size() + 3);
}

void FolderListTest::aDoubleClickOpens_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("opened");
    QTest::newRow("a subfolder") << ""
                                 << "gamma";
    QTest::newRow("the parent in the chain") << "gamma/interna"
                                             << "gamma";
    QTest::newRow("the root") << "beta"
                              << "/";
}

void FolderListTest::aDoubleClickOpens() {
    QFETCH(QString, start);
    QFETCH(QString, opened);
    Tree tree;
    const QString target = opened == QStringLiteral("/") ? opened : tree.at(opened);
    FolderList list;
    list.resize(300, 400);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QVERIFY(list.setCurrentFolder(start.isEmpty() ? tree.root : tree.at(start)));
    DoubleClick(list, ItemFor(list, target));
    QCOMPARE(list.currentFolder(), target);
    QStringList expected = FolderChain(target);
    for (const QString& name : Subfolders(target))
        expected << ChildFolder(target, name);
    QCOMPARE(Folders(list), expected);
}

void FolderListTest::enterOpensTheHighlightedEntry() {
    Tree tree;
    FolderList list;
    QVERIFY(list.setCurrentFolder(tree.root));
    list.setCurrentItem(ItemFor(list, tree.at("gamma")));
    QCOMPARE(list.currentFolder(), tree.root);
    QTest::keyClick(&list, Qt::Key_Return);
    QCOMPARE(list.currentFolder(), tree.at("gamma"));
    QVERIFY(ItemFor(list, tree.at("gamma/interna")));
}

void FolderListTest::aFolderGoneSinceTheListWasReadIsDropped() {
    Tree tree;
    FolderList list;
    list.resize(300, 400);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QVERIFY(list.setCurrentFolder(tree.root));
    QVERIFY(QDir(tree.at("beta")).removeRecursively());
    DoubleClick(list, ItemFor(list, tree.at("beta")));
    QCOMPARE(list.currentFolder(), tree.root);
    QVERIFY(!ItemFor(list, tree.at("beta")));
    QVERIFY(ItemFor(list, tree.at("Alfa")));
}

void FolderListTest::aCurrentFolderGoneLeavesAnEmptyList() {
    Tree tree;
    FolderList list;
    QVERIFY(list.setCurrentFolder(tree.at("gamma")));
    QVERIFY(QDir(tree.at("gamma")).removeRecursively());
    list.refresh();
    QCOMPARE(list.currentFolder(), tree.at("gamma"));
    QCOMPARE(Folders(list), FolderChain(tree.at("gamma")));
}

void FolderListTest::refreshReadsTheSubfoldersAgain() {
    Tree tree;
    FolderList list;
    QVERIFY(list.setCurrentFolder(tree.root));
    QVERIFY(QDir(tree.root).mkdir(QStringLiteral("delta")));
    QVERIFY(!ItemFor(list, tree.at("delta")));
    list.refresh();
    QVERIFY(ItemFor(list, tree.at("delta")));
    QCOMPARE(list.currentFolder(), tree.root);
}

QTEST_MAIN(FolderListTest)
#include "folder_list_test.moc"
