// The left column that the windows of Ombrix share: Picture1, the credit line, Picture2.
// The credit line is Label2 in the login and destination-folder windows, Label4 in the
// backup window.
#pragma once

class QWidget;

void AddLeftColumn(QWidget* window, const char* creditName = "Label2");
