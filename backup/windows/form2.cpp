#include "backup/windows/form2.h"

#include "backup/core/text_field.h"
#include "backup/windows/folder_list.h"
#include "backup/windows/new_folder.h"
#include "desktop/controls.h"
#include "desktop/dialogs.h"
#include "desktop/failure_text.h"
#include "desktop/look.h"
#include "desktop/text_codec.h"

#include <QLabel>
#include <QPushButton>

namespace ombrix {

using namespace shared;

namespace {

constexpr int kColumnX = 322;
constexpr int kColumnWidth = 285;
constexpr int kButtonWidth = 136;

QPushButton* Button(QWidget* window, const char* name, const QString& caption, int x) {
    QPushButton* button = controls::Button(window, name, caption);
    button->setGeometry(x, 248, kButtonWidth, 30);
    return button;
}

// txt/path.txt holds the path as one quoted field: a path that Windows-1252 cannot hold, or
// that holds the closing quote, would be read back as another folder.
bool Storable(const QString& folder) {
    return FitsWindows1252(folder) && !folder.contains(QLatin1Char('"'));
}

} // namespace

Form2::Form2(std::filesystem::path programFolder, QWidget* parent)
    : OmbrixWindow(parent), programFolder_(std::move(programFolder)) {
    look::SetUpWindow(this, "Form2", QStringLiteral("Form2"), 615, 288);
    controls::AddLeftColumn(this, 222, "Label2");

    QLabel* heading = look::HeadingLabel(this, "Label3", QStringLiteral("SALVATAGGIO"));
    heading->setGeometry(kColumnX, 8, kColumnWidth, 30);
    QLabel* label1 =
        controls::Label(this, "Label1", QStringLiteral("Scegli la cartella in cui salvare i file"));
    label1->setGeometry(kColumnX, 42, kColumnWidth, 20);
    dir1_ = new FolderList(this);
    dir1_->setGeometry(kColumnX, 64, kColumnWidth, 176);
    create_ = Button(this, "Command2", QStringLiteral("Crea Cartella"), kColumnX);
    next_ = Button(this, "Command1", QStringLiteral("Avanti >>"),
                   kColumnX + kColumnWidth - kButtonWidth);
    connect(create_, &QPushButton::clicked, this, &Form2::createFolder);
    connect(next_, &QPushButton::clicked, this, &Form2::advance);

    setTabOrder(dir1_, create_);
    setTabOrder(create_, next_);
    dir1_->setFocus();
}

std::filesystem::path Form2::pathFile() const {
    return programFolder_ / "txt" / "path.txt";
}

QString Form2::currentFolder() const {
    return dir1_->currentFolder();
}

bool Form2::load() {
    const auto read = ReadTextFieldFile(pathFile());
    if (const auto* failure = std::get_if<FileFailure>(&read)) {
        failAndEnd(FailureText(*failure));
        return false;
    }
    const QString folder = FromWindows1252(std::get<std::string>(read));
    if (!dir1_->setCurrentFolder(folder)) {
        failAndEnd(QStringLiteral("Cartella non trovata: %1 (indicata nel file %2).")
                       .arg(folder, FromPath(pathFile())));
        return false;
    }
    return true;
}

void Form2::advance() {
    const QString folder = currentFolder();
    if (!Storable(folder)) {
        tell(QStringLiteral("La cartella %1 non può essere registrata nel file %2: il suo percorso "
                            "contiene caratteri che il file non può contenere. Scegliere "
                            "un'altra cartella.")
                 .arg(folder, FromPath(pathFile())));
        return;
    }
    // Written on every press, also when the folder has not changed.
    if (const auto failure = WriteTextFieldFile(pathFile(), ToWindows1252(folder))) {
        failAndEnd(FailureText(*failure));
        return;
    }
    emit advanced(folder);
}

void Form2::createFolder() {
    tell(QStringLiteral(
        "Attenzione la cartella verrà creata nell'ultima cartella che è stata aperta"));
    const QString name =
        Dialogs::instance().input(this, QStringLiteral("Nome della Cartella"),
                                  QStringLiteral("Crea Nuova Cartella"), QString());
    // The new folder goes into the current folder, which stays current: to save into the
    // new one the operator opens it first.
    if (!name.isEmpty()) {
        if (const auto failure = CreateSubfolder(currentFolder(), name)) {
            failAndEnd(*failure);
            return;
        }
    }
    dir1_->refresh();
}

} // namespace ombrix
