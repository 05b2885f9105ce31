#include "backup/windows/saved_files_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace ombrix {

namespace {

const QColor kGreen{0, 192, 0};
// The blank between the frame and the text, as a text box leaves it.
constexpr qreal kMargin = 4;

} // namespace

SavedFilesView::SavedFilesView(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("Elencofile"));
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::black);
    colours.setColor(QPalette::Text, kGreen);
    setPalette(colours);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(20);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        first_ = value;
        viewport()->update();
    });
    updateScrollBars();
}

void SavedFilesView::prependLine(const QString& line) {
    const qsizetype before = lines_.count();
    lines_.prepend(line);
    changed(lines_.count() - before);
}

void SavedFilesView::appendLine(const QString& line) {
    lines_.append(line);
    changed(0);
}

void SavedFilesView::replaceText(const QString& text) {
    lines_.replace(text);
    anchor_ = cursor_ = -1;
    first_ = 0;
    widest_ = 0;
    changed(0);
}

QString SavedFilesView::text() const {
    return lines_.text();
}

// Lines added above the ones on screen push them down only when the first line is on
// screen: an operator who scrolled away keeps what they look at, selection included.
void SavedFilesView::changed(qsizetype linesAbove) {
    if (linesAbove > 0 && first_ > 0)
        first_ += linesAbove;
    if (linesAbove > 0 && hasSelection()) {
        anchor_ += linesAbove;
        cursor_ += linesAbove;
    }
    if (first_ == 0 || linesAbove == 0)
        viewport()->update();
    scheduleScrollBars();
}

// The scroll bars follow once the events are delivered, not for every line.
void SavedFilesView::scheduleScrollBars() {
    if (rangePending_)
        return;
    rangePending_ = true;
    QMetaObject::invokeMethod(this, &SavedFilesView::updateScrollBars, Qt::QueuedConnection);
}

void SavedFilesView::updateScrollBars() {
    rangePending_ = false;
    const int shown = wholeLinesShown();
    const qsizetype last = std::max<qsizetype>(0, lines_.count() - shown);
    first_ = std::min(first_, last);
    QScrollBar* vertical = verticalScrollBar();
    const QSignalBlocker quiet(vertical); // first_ is already where the bar goes
    vertical->setRange(0, static_cast<int>(std::min<qsizetype>(last, INT_MAX)));
    vertical->setPageStep(shown);
    vertical->setValue(static_cast<int>(first_));
    QScrollBar* horizontal = horizontalScrollBar();
    const int width = viewport()->width();
    horizontal->setRange(0, std::max(0, widest_ + 2 * int(kMargin) - width));
    horizontal->setPageStep(width);
}

qreal SavedFilesView::lineHeight() const {
    const QFontMetricsF metrics(font());
    return metrics.ascent() + metrics.descent() + std::max<qreal>(0, metrics.leading());
}

int SavedFilesView::wholeLinesShown() const {
    return std::max(1, static_cast<int>((viewport()->height() - kMargin) / lineHeight()));
}

qsizetype SavedFilesView::lineAt(QPoint point) const {
    const auto offset = static_cast<qsizetype>(std::floor((point.y() - kMargin) / lineHeight()));
    return std::clamp<qsizetype>(first_ + std::max<qsizetype>(offset, 0), 0, lines_.count() - 1);
}

void SavedFilesView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QFontMetricsF metrics(font());
    const qreal height = lineHeight();
    const qreal left = kMargin - horizontalScrollBar()->value();
    const auto [from, to] = std::minmax(anchor_, cursor_);
    const int widest = widest_;
    qreal top = kMargin;
    for (qsizetype row = first_; row < lines_.count() && top < viewport()->height(); ++row) {
        const QString line = lines_.line(row);
        widest_ = std::max(widest_, static_cast<int>(std::ceil(metrics.horizontalAdvance(line))));
        const bool selected = hasSelection() && row >= from && row <= to;
        if (selected)
            painter.fillRect(QRectF(0, top, viewport()->width(), height), palette().highlight());
        painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter.drawText(QPointF(left, top + metrics.ascent()), line);
        top += height;
    }
    if (widest_ != widest)
        scheduleScrollBars();
}

void SavedFilesView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void SavedFilesView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return QAbstractScrollArea::mousePressEvent(event);
    const qsizetype row = lineAt(event->position().toPoint());
    const bool within =
        hasSelection() && row >= std::min(anchor_, cursor_) && row <= std::max(anchor_, cursor_);
    if (event->button() == Qt::RightButton && within)
        return; // the context menu copies what is selected
    if (!(event->modifiers() & Qt::ShiftModifier) || !hasSelection())
        anchor_ = row;
    cursor_ = row;
    viewport()->update();
}

void SavedFilesView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || !hasSelection())
        return QAbstractScrollArea::mouseMoveEvent(event);
    const QPoint point = event->position().toPoint();
    if (point.y() < 0)
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (point.y() > viewport()->height())
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    cursor_ = lineAt(point);
    viewport()->update();
}

void SavedFilesView::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy)
        copy();
    else if (event == QKeySequence::SelectAll)
        selectAll();
    else if (event == QKeySequence::MoveToStartOfDocument)
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    else if (event == QKeySequence::MoveToEndOfDocument)
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    else
        QAbstractScrollArea::keyPressEvent(event);
}

void SavedFilesView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copying = menu.addAction(QStringLiteral("Copia"), this, &SavedFilesView::copy);
    copying->setShortcut(QKeySequence::Copy);
    copying->setEnabled(hasSelection());
    QAction* all =
        menu.addAction(QStringLiteral("Seleziona tutto"), this, &SavedFilesView::selectAll);
    all->setShortcut(QKeySequence::SelectAll);
    menu.exec(event->globalPos());
}

QString SavedFilesView::selectedText() const {
    if (!hasSelection())
        return QString();
    const auto [from, to] = std::minmax(anchor_, cursor_);
    return lines_.text(from, to);
}

void SavedFilesView::selectAll() {
    anchor_ = 0;
    cursor_ = lines_.count() - 1;
    viewport()->update();
}

void SavedFilesView::copy() const {
    if (hasSelection())
        QApplication::clipboard()->setText(selectedText());
}

} // namespace ombrix
