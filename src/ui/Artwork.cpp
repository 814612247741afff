// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Artwork.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

// The pictures are compiled into a static library, whose resource initialiser
// the linker would drop because nothing refers to it; registering it by hand
// keeps it. The macro must be used outside any namespace.
static void RegisterArtResources() { Q_INIT_RESOURCE(flipreel); }

namespace Artwork {
namespace {
void EnsureResources()
{
    static const bool registered = (RegisterArtResources(), true);
    (void)registered;
}
} // namespace

const std::initializer_list<Entry>& Catalogue()
{
    static const std::initializer_list<Entry> entries = {
        {"background", 723, 538},
        {"window-icon", 64, 64},
        {"title-icon", 24, 24},
        {"min", 16, 16},
        {"min-hot", 16, 16},
        {"close", 16, 16},
        {"close-hot", 16, 16},
        {"add-pictures", 133, 24},
        {"delete", 93, 24},
        {"move-up", 93, 24},
        {"move-down", 93, 24},
        {"preview", 93, 24},
        {"change-properties", 170, 28},
        {"go-enabled", 118, 27},
        {"go-disabled", 118, 27},
        {"stop-enabled", 118, 27},
        {"stop-disabled", 118, 27},
        {"create-normal", 327, 46},
        {"create-hot", 327, 46},
        {"create-busy", 327, 46},
        {"icon-cross", 16, 16},
        {"icon-tick", 16, 16},
        {"icon-frames", 16, 16},
        {"hand-cursor", 32, 32},
        {"prop-picture", 78, 71},
        {"about-background", 450, 338},
        {"about-picture", 180, 184},
    };
    return entries;
}

QSize SizeOf(const QString& name)
{
    for (const Entry& e : Catalogue())
        if (name == QLatin1String(e.name))
            return {e.width, e.height};
    return {};
}

QImage PictureImage(const QString& name)
{
    static QHash<QString, QImage> cache;
    if (auto it = cache.constFind(name); it != cache.constEnd())
        return *it;
    EnsureResources();
    const QSize size = SizeOf(name);
    QImage image(size.isValid() ? size : QSize(1, 1), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/art/%1.svg").arg(name));
    if (renderer.isValid()) {
        QPainter painter(&image);
        renderer.render(&painter, QRectF(QPointF(0, 0), image.size()));
    }
    cache.insert(name, image);
    return image;
}

QPixmap Picture(const QString& name) { return QPixmap::fromImage(PictureImage(name)); }

QIcon WindowIcon()
{
    EnsureResources();
    QIcon icon;
    QSvgRenderer renderer(QStringLiteral(":/art/window-icon.svg"));
    for (int side : {16, 24, 32, 48, 64, 128}) {
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter, QRectF(0, 0, side, side));
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

QCursor HandCursor() { return QCursor(Picture(QStringLiteral("hand-cursor")), 12, 5); }

} // namespace Artwork
