#include "saved_files_view.h"

#include <QTextCursor>
#include <QTextDocument>

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

// Inside an edit block the cursor does not lay its line out to learn where it stands: the
// view lays out only the lines it shows, when it paints them. A run adds a line per entry.
void SavedFilesView::insertAt(QTextCursor::MoveOperation where, const QString& text) {
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.movePosition(where);
    cursor.insertText(AsDocumentText(text));
    cursor.endEditBlock();
}

void SavedFilesView::prependLine(const QString& line) {
    insertAt(QTextCursor::Start, line + QLatin1Char('\n'));
}

void SavedFilesView::appendLine(const QString& line) {
    insertAt(QTextCursor::End, QLatin1Char('\n') + line);
}

void SavedFilesView::replaceText(const QString& text) {
    setPlainText(AsDocumentText(text));
}

QString SavedFilesView::text() const {
    // The raw text keeps every character as written (the plain text would turn a
    // no-break space into a blank); its blocks are separated by paragraph separators.
    return document()->toRawText().replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
}
