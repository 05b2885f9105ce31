#include "backup/windows/saved_files_view.h"

#include <QTextCursor>
#include <QTextDocument>

namespace ombrix {

namespace {

const QColor kGreen{0, 192, 0};

// A line from outside may itself hold CR LF; inside the document each is one line break.
QString AsDocumentText(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

SavedFilesView::SavedFilesView(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("Elencofile"));
    setReadOnly(true);
    // An undo history of every entry would only cost memory.
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::black);
    colours.setColor(QPalette::Text, kGreen);
    setPalette(colours);
}

// The cursor is placed by position inside an edit block, never moved by a cursor
// movement: a movement lays out the line it starts from, and the view lays out only the
// lines it shows, when it paints them. A run adds a line per entry.
void SavedFilesView::insertAt(int position, const QString& text) {
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.setPosition(position);
    cursor.insertText(AsDocumentText(text));
    cursor.endEditBlock();
}

void SavedFilesView::prependLine(const QString& line) {
    insertAt(0, line + QLatin1Char('\n'));
}

void SavedFilesView::appendLine(const QString& line) {
    // The document's last position stands before its closing paragraph separator.
    insertAt(document()->characterCount() - 1, QLatin1Char('\n') + line);
}

void SavedFilesView::replaceText(const QString& text) {
    setPlainText(AsDocumentText(text));
}

QString SavedFilesView::text() const {
    // The raw text keeps every character as written (the plain text would turn a
    // no-break space into a blank); its blocks are separated by paragraph separators.
    return document()->toRawText().replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
}

} // namespace ombrix
