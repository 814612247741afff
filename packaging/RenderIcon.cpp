// SPDX-License-Identifier: GPL-3.0-or-later
// Build tool: renders the program's SVG icon as a square PNG of one size, for
// the desktop's icon theme (which wants fixed sizes beside the SVG).
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fputs("usage: render-icon SVG SIDE PNG\n", stderr);
        return 2;
    }
    const int side = std::atoi(argv[2]);
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid() || side < 1) {
        std::fprintf(stderr, "render-icon: cannot render %s at %s pixels\n", argv[1], argv[2]);
        return 1;
    }
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(0, 0, side, side));
    painter.end();
    return image.save(QString::fromLocal8Bit(argv[3]), "PNG") ? 0 : 1;
}
