// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/PreviewArea.h"

#include <QPainter>

PreviewArea::PreviewArea(QWidget* parent)
    : PixelSurface(parent)
{
    LoadElement(1);
    for (PreviewElement& element : elements_)
        element.stretch = true;
}

const PreviewElement& PreviewArea::imgPreview(int index) const
{
    Q_ASSERT(index >= 0 && index < ElementCount());
    return elements_[static_cast<std::size_t>(index)];
}

PreviewElement& PreviewArea::At(int index)
{
    Q_ASSERT(index >= 0 && index < ElementCount());
    return elements_[static_cast<std::size_t>(index)];
}

void PreviewArea::LoadElement(int index)
{
    if (index >= ElementCount())
        elements_.resize(static_cast<std::size_t>(index) + 1);
}

void PreviewArea::SetElementVisible(int index, bool visible)
{
    PreviewElement& element = At(index);
    if (element.visible == visible)
        return;
    element.visible = visible;
    update(DrawnArea(element));
}

void PreviewArea::SetElementStretch(int index, bool stretch)
{
    PreviewElement& element = At(index);
    if (element.stretch == stretch)
        return;
    RepaintElement(element);
    element.stretch = stretch;
    RepaintElement(element);
}

void PreviewArea::SetElementPlace(int index, const QRectF& place)
{
    PreviewElement& element = At(index);
    if (element.place == place)
        return;
    RepaintElement(element);
    element.place = place;
    RepaintElement(element);
}

void PreviewArea::SetElementPicture(int index, const QImage& picture)
{
    PreviewElement& element = At(index);
    RepaintElement(element);
    element.picture = picture;
    RepaintElement(element);
}

int PreviewArea::VisibleElementCount() const
{
    int count = 0;
    for (const PreviewElement& element : elements_)
        count += element.visible ? 1 : 0;
    return count;
}

QRect PreviewArea::DrawnArea(const PreviewElement& element)
{
    const QRectF area = element.stretch || element.picture.isNull()
        ? element.place
        : QRectF(element.place.topLeft(), QSizeF(element.picture.size()));
    return area.toAlignedRect();
}

void PreviewArea::RepaintElement(const PreviewElement& element)
{
    // Hidden elements are not drawn, so only a visible one changes the screen.
    if (element.visible)
        update(DrawnArea(element));
}

void PreviewArea::paintEvent(QPaintEvent* event)
{
    PixelSurface::paintEvent(event); // the kept drawing, grey frame included
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const PreviewElement& element : elements_) {
        if (!element.visible || element.picture.isNull())
            continue;
        if (element.stretch)
            painter.drawImage(element.place, element.picture);
        else
            painter.drawImage(element.place.topLeft(), element.picture);
    }
}
