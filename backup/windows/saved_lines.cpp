#include "backup/windows/saved_lines.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>

namespace ombrix {

namespace {

constexpr std::uint32_t kBlockSize = 1 << 20;
const QString kLineBreak = QStringLiteral("\r\n");

// The lines of a piece, in order: it split at every CR LF.
template <typename Visit> void ForEachLine(QStringView piece, Visit visit) {
    for (qsizetype from = 0;;) {
        const qsizetype at = piece.indexOf(kLineBreak, from);
        visit(piece.sliced(from, (at < 0 ? piece.size() : at) - from));
        if (at < 0)
            return;
        from = at + kLineBreak.size();
    }
}

} // namespace

SavedLines::SavedLines() {
    replace(QStringView());
}

void SavedLines::prepend(QStringView piece) {
    // The piece's first line must end on top: its lines go in from its last.
    std::vector<QStringView> lines;
    ForEachLine(piece, [&](QStringView line) { lines.push_back(line); });
    for (auto line = lines.rbegin(); line != lines.rend(); ++line)
        store(top_, *line);
}

void SavedLines::append(QStringView piece) {
    ForEachLine(piece, [&](QStringView line) { store(bottom_, line); });
}

void SavedLines::replace(QStringView text) {
    top_.clear();
    bottom_.clear();
    blocks_.clear();
    used_ = capacity_ = 0;
    append(text);
}

void SavedLines::store(std::deque<Line>& lines, QStringView line) {
    const QByteArray bytes = line.toUtf8();
    const auto size = static_cast<std::uint32_t>(bytes.size());
    if (size == 0) {
        lines.push_back({0, 0, 0});
        return;
    }
    if (capacity_ - used_ < size) {
        // A line never straddles two blocks: a long one has a block of its own.
        capacity_ = std::max(kBlockSize, size);
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(capacity_));
        used_ = 0;
    }
    const auto block = static_cast<std::uint32_t>(blocks_.size() - 1);
    std::memcpy(blocks_.back().get() + used_, bytes.constData(), size);
    lines.push_back({block, used_, size});
    used_ += size;
}

const SavedLines::Line& SavedLines::at(qsizetype row) const {
    const auto above = static_cast<qsizetype>(top_.size());
    return row < above ? top_[std::size_t(above - 1 - row)] : bottom_[std::size_t(row - above)];
}

QString SavedLines::line(qsizetype row) const {
    const Line& line = at(row);
    if (line.size == 0)
        return QString();
    return QString::fromUtf8(blocks_[line.block].get() + line.offset, line.size);
}

QString SavedLines::text(qsizetype first, qsizetype last) const {
    if (last < 0)
        last = count() - 1;
    QString text;
    for (qsizetype row = first; row <= last; ++row) {
        if (row > first)
            text += kLineBreak;
        text += line(row);
    }
    return text;
}

} // namespace ombrix
