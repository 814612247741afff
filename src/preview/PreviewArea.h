// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/Controls.h"

#include <QImage>
#include <QRectF>

#include <functional>
#include <vector>

// One frame element of the preview area: an image in stretch mode, placed in
// pixels of the area at single precision (a centred frame may start at .5).
struct PreviewElement {
    bool visible = false;
    bool stretch = false;
    QRectF place;
    QImage picture;
};

// The preview area: a drawing surface (it keeps its grey frame) with the
// frame elements painted over it. Elements are created on demand and never
// removed; the window starts with elements 0 and 1, hidden, in stretch mode.
class PreviewArea final : public PixelSurface {
    Q_OBJECT
public:
    explicit PreviewArea(QWidget* parent = nullptr);

    int ElementCount() const { return static_cast<int>(elements_.size()); }
    // Element k shows frame k + 1. The index must exist.
    const PreviewElement& imgPreview(int index) const;
    // Creates the element (and any before it) when it does not exist yet.
    void LoadElement(int index);

    void SetElementVisible(int index, bool visible);
    void SetElementStretch(int index, bool stretch);
    void SetElementPlace(int index, const QRectF& place);
    void SetElementPicture(int index, const QImage& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PreviewElement& At(int index);
    static QRect DrawnArea(const PreviewElement& element);
    void RepaintElement(const PreviewElement& element);
    void Redraw(int index, const std::function<void(PreviewElement&)>& change);

    std::vector<PreviewElement> elements_;
};
