// The left-hand side that the three windows of Tavelo share: Picture1 at the top left,
// the smaller Picture2 centred beneath it. They carry no behaviour.
#pragma once

class QWidget;

void AddLeftPictures(QWidget* window);
