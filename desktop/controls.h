// The controls that the windows of both programs build, each named for the tests and the
// style sheets, and the left column of pictures they share.
#pragma once

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace shared {

namespace controls {

QLabel* Label(QWidget* window, const char* name, const QString& text);
QLineEdit* TextBox(QWidget* window, const char* name, const QString& text = QString());
// Every character shows as "*", whatever masking character the platform prefers.
QLineEdit* PasswordBox(QWidget* window, const char* name);
// Never the default button: Enter in a text box presses nothing.
QPushButton* Button(QWidget* window, const char* name, const QString& caption);

// Picture1 at the top left, the smaller Picture2 centred beneath it at picture2Top, and,
// when creditName is given, the credit line under Picture1 with that object name.
void AddLeftColumn(QWidget* window, int picture2Top, const char* creditName = nullptr);

} // namespace controls

} // namespace shared
