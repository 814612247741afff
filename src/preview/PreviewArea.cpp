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
    if (At(index).stretch != stretch)
        Redraw(index, [stretch](PreviewElement& element) { element.stretch = stretch; });
}

void PreviewArea::SetElementPlace(int index, const QRectF& place)
{
    if (At(index).place != place)
        Redraw(index, [&place](PreviewElement& element) { element.place = place; });
}

void PreviewArea::SetElementPicture(int index, const QImage& picture)
{
    Redraw(index, [&picture](PreviewElement& element) { element.picture = picture; });
}

void PreviewArea::Redraw(int index, const std::function<void(PreviewElement&)>& change)
{
    // Where it was drawn and where it is drawn now.
    PreviewElement& element = At(index);
    RepaintElement(element);
    change(element);
    RepaintElement(element);
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
