// The one seam between the programs and their modal boxes and ending.
//
// Every message box, input box and "show the failure, then end the program" goes
// through Dialogs::instance(). Tests install a subclass that answers the boxes and
// records what was shown and how the program would have ended.
#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace shared {

class Dialogs : public QObject {
    Q_OBJECT
  public:
    static Dialogs& instance();
    // Makes replacement the instance (nullptr restores the real boxes); not owned.
    static void install(Dialogs* replacement);

    // Modal, OK only: text as the message, title as the window title.
    void message(QWidget* parent, const QString& title, const QString& text);
    // Modal input box; Cancel gives the empty text.
    QString input(QWidget* parent, const QString& prompt, const QString& title,
                  const QString& proposed);
    // A failure that nothing recovers from: the box, then the program ends with status 1.
    void failAndEnd(QWidget* parent, const QString& title, const QString& text);
    // Ends the program now: whatever waits on a request is abandoned first.
    void endProgram(int status);
    bool ending() const { return ending_; }

  signals:
    void programEnding();

  protected:
    virtual void showMessage(QWidget* parent, const QString& title, const QString& text,
                             bool failure);
    virtual QString askText(QWidget* parent, const QString& prompt, const QString& title,
                            const QString& proposed);
    virtual void quit(int status);
    void resetEnding() { ending_ = false; }

  private:
    bool ending_ = false;
};

} // namespace shared
