// Form1, the backup window of Ombrix: the destination folder on show, the way back to the
// destination-folder window, and the controls of the backup run.
//
// The window is created at the first "Avanti >>" and lives until the program ends; going
// back with "Cambia Directory" only hides it, so its texts and the run state survive.
//
// What the backup run uses (it runs on the click of Command3, signal saveClicked()):
// - stato(): the hidden run state, "0" (idle, at creation) or "1" (a run was started).
// - command3(): the main button; its caption starts as "Salva".
// - attuale(): the entry in hand, empty at creation.
// - Elencofile, the saved files, through prependLine() (newest entry on top), appendLine()
//   (the clearing answer at the bottom), replaceText() (the failure text) and text() (lines
//   joined by CR LF). Each change costs the same however long the list already is.
// - perc(): the percentage label, "0%" at creation; its foreground colour is the
//   palette's QPalette::WindowText.
// - shape1(): the progress frame; its width is the width at 100 %.
// - barra(): the fill, on Shape1's rectangle; setBarWidth() changes only its width, which
//   may exceed Shape1's.
// The destination folder is not here: it is the current folder of Form2's Dir1, read when
// needed; Text1 only shows it.
#pragma once

#include "backup/windows/ombrix_window.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ombrix {

using namespace shared;

class SavedFilesView;

class Form1 : public OmbrixWindow {
    Q_OBJECT
  public:
    explicit Form1(QWidget* parent = nullptr);

    // Text1: the folder confirmed with "Avanti >>", for display only.
    void setFolderText(const QString& folder);

    void prependLine(const QString& line);
    void appendLine(const QString& line);
    void replaceText(const QString& text);
    QString text() const;

    void setBarWidth(int width);

    QLineEdit* stato() const { return stato_; }
    QLineEdit* text1() const { return text1_; }
    QLineEdit* attuale() const { return attuale_; }
    SavedFilesView* elencofile() const { return elencofile_; }
    QLabel* perc() const { return perc_; }
    QFrame* shape1() const { return shape1_; }
    QFrame* barra() const { return barra_; }
    QPushButton* command1() const { return command1_; }
    QPushButton* command3() const { return command3_; }

  signals:
    // Command3 was clicked: the backup run's one entry point.
    void saveClicked();
    // "Cambia Directory": this window is hidden, the destination-folder window is wanted.
    void changeFolderRequested();

  private:
    void addFolderRow();
    void addSavedFiles();
    void addProgressBar();
    void setTabOrderFromCommand3();

    QLineEdit* stato_;
    QLineEdit* text1_ = nullptr;
    QPushButton* command1_ = nullptr;
    QLineEdit* attuale_ = nullptr;
    SavedFilesView* elencofile_ = nullptr;
    QFrame* shape1_ = nullptr;
    QFrame* barra_ = nullptr;
    QLabel* perc_ = nullptr;
    QPushButton* command3_ = nullptr;
};

} // namespace ombrix
