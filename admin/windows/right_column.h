// Where the controls of Tavelo's windows stand: the column right of the pictures, and
// the few control kinds its windows build there.
#pragma once

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace column {

constexpr int kX = 318;
constexpr int kWidth = 223; // up to 8 pixels from the right edge of a 549-wide window

QLabel* Label(QWidget* window, const char* name, const QString& text);
QLineEdit* TextBox(QWidget* window, const char* name);
QLineEdit* PasswordBox(QWidget* window, const char* name);
// Never the default button: Enter in a text box presses nothing.
QPushButton* Button(QWidget* window, const char* name, const QString& caption);

} // namespace column
