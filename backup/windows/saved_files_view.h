// Elencofile, the list of saved files in the backup window: green on black, read-only for
// the operator, with a vertical scroll bar.
//
// It behaves as a multi-line text box whose text is lines joined by CR LF; an empty box is
// one empty line. A backup puts every entry on top, for lists of 100,000 entries and more,
// so each change edits the document where it happens (first or last line) and never
// rebuilds the text: its cost does not grow with the lines already there.
#pragma once

#include <QPlainTextEdit>

namespace ombrix {

class SavedFilesView : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit SavedFilesView(QWidget* parent = nullptr);

    // The text becomes line, CR LF, and the previous text.
    void prependLine(const QString& line);
    // The text becomes the previous text, CR LF, and line.
    void appendLine(const QString& line);
    // The whole text is replaced.
    void replaceText(const QString& text);
    // The whole text, lines joined by CR LF.
    QString text() const;

  private:
    void insertAt(int position, const QString& text);
};

} // namespace ombrix
