// Elencofile, the list of saved files in the backup window: green on black, read-only for
// the operator, with a vertical scroll bar; lines can be selected (click, drag, Shift+click,
// Ctrl+A) and copied (Ctrl+C, or "Copia" in its context menu).
//
// It behaves as a multi-line text box whose text is lines joined by CR LF; an empty box is
// one empty line. A backup puts every entry on top, for lists of a million entries and
// more: the lines are held in a SavedLines, and only the lines on screen are ever laid out,
// when they are painted. Adding a line costs the same however many are there.
#pragma once

#include "backup/windows/saved_lines.h"

#include <QAbstractScrollArea>

namespace ombrix {

class SavedFilesView : public QAbstractScrollArea {
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
    int blockCount() const { return static_cast<int>(lines_.count()); } // the number of lines
    bool isReadOnly() const { return true; }

    // The selected lines, joined by CR LF; empty when none is selected.
    QString selectedText() const;
    void selectAll();
    void copy() const; // the selected lines to the clipboard

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void changed(qsizetype linesAbove);
    void scheduleScrollBars();
    void updateScrollBars();
    qreal lineHeight() const;
    int wholeLinesShown() const;
    qsizetype lineAt(QPoint point) const;
    bool hasSelection() const { return anchor_ >= 0; }

    SavedLines lines_;
    qsizetype first_ = 0;   // the line at the top of the view
    qsizetype anchor_ = -1; // the selection: from anchor_ to cursor_, both included
    qsizetype cursor_ = -1;
    int widest_ = 0; // the widest line painted so far, for the horizontal scroll bar
    bool rangePending_ = false;
};

} // namespace ombrix
