// The level timer on the panel: one marker per second left, in rows of columns, the last (current)
// second drawn with the second marker.
#pragma once

#include "framework/animation.h"

class TimerBar {
  public:
    int columns = 0;
    int rows = 0;
    int spacingX = 0;
    int spacingY = 0;
    int count = 0;        // markers to draw
    Animation markers[2]; // 0: a remaining second, 1: the last one

    // columns x rows markers with the given gaps, from "TimerMarker0.bmp" and "TimerMarker1.bmp".
    TimerBar(int columnCount, int rowCount, int gapX, int gapY);

    // Restores the bar's rectangle from the clean background, then draws count markers onto target
    // with their top-left rows starting at (x, y). The geometry follows the first marker's size.
    void Draw(IDirectDrawSurface* target, int x, int y);
};
