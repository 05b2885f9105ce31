// The lines of Elencofile, held for a list of a million entries and more: each line costs
// its own bytes (as UTF-8) and twelve more; adding one at the top or at the bottom costs the
// same however many there are, and nothing is laid out.
//
// The text they stand for is the lines joined by CR LF; an empty text is one empty line. A
// piece added from outside may itself hold CR LF: it becomes as many lines.
#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace ombrix {

class SavedLines {
  public:
    SavedLines(); // one empty line

    // The text becomes piece, CR LF, and the previous text.
    void prepend(QStringView piece);
    // The text becomes the previous text, CR LF, and piece.
    void append(QStringView piece);
    // The text becomes text.
    void replace(QStringView text);

    qsizetype count() const { return qsizetype(top_.size() + bottom_.size()); }
    QString line(qsizetype row) const; // 0 is the first line
    // Lines first to last, inclusive, joined by CR LF; the whole text by default.
    QString text(qsizetype first = 0, qsizetype last = -1) const;

  private:
    struct Line {
        std::uint32_t block;
        std::uint32_t offset;
        std::uint32_t size;
    };
    // Stored in the order added; the lines prepended are read from the back.
    void store(std::deque<Line>& lines, QStringView line);
    const Line& at(qsizetype row) const;

    std::vector<std::unique_ptr<char[]>> blocks_; // UTF-8 bytes, never moved once written
    std::uint32_t used_ = 0;                      // bytes used of the last block
    std::uint32_t capacity_ = 0;                  // its size
    std::deque<Line> top_;                        // prepended lines, newest at the back
    std::deque<Line> bottom_;                     // the lines below them, in order
};

} // namespace ombrix
