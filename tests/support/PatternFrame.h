#pragma once

#include <QImage>

// An opaque RGBA8888 frame whose neighbouring pixels all differ, so a
// picture sampled a pixel off, or with its channels swapped, shows.
inline QImage PatternFrame(int width, int height)
{
    QImage image(width, height, QImage::Format_RGBA8888);
    for (int y = 0; y < height; ++y) {
        uchar *p = image.scanLine(y);
        for (int x = 0; x < width; ++x, p += 4) {
            p[0] = uchar(x * 37 + y);
            p[1] = uchar(y * 53 + x * 3);
            p[2] = uchar(x ^ (y * 7));
            p[3] = 255;
        }
    }
    return image;
}
