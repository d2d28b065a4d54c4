#include "tessary/timer_bar.h"

#include "framework/screen_updater.h"

TimerBar::TimerBar(int columnCount, int rowCount, int gapX, int gapY)
    : columns(columnCount), rows(rowCount), spacingX(gapX), spacingY(gapY) {
    markers[0].AddFrameFromFile("TimerMarker0.bmp");
    markers[1].AddFrameFromFile("TimerMarker1.bmp");
}

void TimerBar::Draw(IDirectDrawSurface* target, int x, int y) {
    const int stepX = markers[0].frameWidth + spacingX;
    const int stepY = markers[0].frameHeight + spacingY;
    g_screenUpdater.RestoreRect(x, y, columns * stepX, rows * stepY);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const int i = row * columns + column;
            if (i >= count) return;
            Animation& marker = markers[i + 1 == count ? 1 : 0];
            marker.SetPosition(x + column * stepX, y + row * stepY);
            marker.DrawTo(target);
        }
    }
}
