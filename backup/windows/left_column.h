// The left column that the login and destination-folder windows share: Picture1,
// Label2 with the credit line, Picture2.
#pragma once

class QWidget;

void AddLeftColumn(QWidget* window);
