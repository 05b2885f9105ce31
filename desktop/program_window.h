// A window of one of the two programs: its boxes carry the program's title, and closing it
// ends the program at once, whatever is in hand (a request waiting is abandoned first).
#pragma once

#include <QString>
#include <QWidget>

namespace shared {

class ProgramWindow : public QWidget {
  public:
    explicit ProgramWindow(QString programTitle, QWidget* parent = nullptr);
    const QString& programTitle() const { return programTitle_; }

  protected:
    // A modal message box, OK only, titled with the program's name.
    void tell(const QString& text);
    // A failure nothing recovers from: the box, then the program ends.
    void failAndEnd(const QString& text);
    // Hides this window, then hands over to whoever the signal's receivers show next.
    template <typename Window> void handOver(void (Window::*signal)()) {
        hide();
        emit(static_cast<Window*>(this)->*signal)();
    }
    void closeEvent(QCloseEvent* event) override;

  private:
    QString programTitle_;
};

} // namespace shared
