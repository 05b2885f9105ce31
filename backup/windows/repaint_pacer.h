// Lets a window paint at most once a frame (about 60 times a second).
//
// A backup run changes the window for every entry, thousands of times a second on a fast
// server, and painting every change would cost more than saving the small files. The
// changes themselves are made at once (whoever reads a control sees its new text); only
// their painting waits, never longer than one frame. A paint request that comes sooner is
// held back and sent again when the frame is over, and the window then paints everything
// that changed meanwhile in one go.
#pragma once

#include "backup/run/run_window.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

namespace ombrix {

class RepaintPacer : public QObject {
  public:
    // Paces the painting of window (a top-level widget), which owns the pacer.
    explicit RepaintPacer(QWidget* window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* window_;
    QElapsedTimer sincePaint_;
    QTimer held_; // runs while a paint request waits for the end of the frame
};

} // namespace ombrix
