// What the backup run reads and writes in its window, and where it saves: the backup
// window implements this, a test can too.
#pragma once

#include "credentials/file_failure.h"

#include <QString>

#include <chrono>

namespace ombrix {

using namespace shared;

// A frame of the screen: the backup window paints at most once a frame, and a run serves
// the window's events at most once a frame between entries that wait on nothing.
inline constexpr std::chrono::milliseconds kFrame{16};

class RunWindow {
  public:
    virtual ~RunWindow() = default;

    virtual QString runState() const = 0; // the hidden Stato: "0" idle, "1" started
    virtual void setRunState(const QString& state) = 0;
    virtual void setButtonCaption(const QString& caption) = 0;  // Command3
    virtual void setCurrentEntry(const QString& text) = 0;      // Attuale
    virtual void prependEntry(const QString& entry) = 0;        // Elencofile, newest first
    virtual void appendLine(const QString& line) = 0;           // Elencofile, at the bottom
    virtual void replaceList(const QString& text) = 0;          // Elencofile, whole
    virtual void setPercentCaption(const QString& caption) = 0; // perc
    virtual void highlightPercent() = 0;       // perc in the 3-D highlight colour, for good
    virtual double frameWidth() const = 0;     // Shape1: the width of 100 %
    virtual void setBarWidth(float width) = 0; // barra
    // The destination: the folder list's current folder at this moment.
    virtual QString destinationFolder() const = 0;

    // A failure nothing recovers from: shown, then the program ends.
    virtual void failWith(const QString& text) = 0;
    virtual void failWith(const FileFailure& failure) = 0;
};

} // namespace ombrix
