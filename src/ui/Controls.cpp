// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Controls.h"

#include "common/Twips.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include <cstdlib>
#include <utility>

namespace {

// A click is a left press and a left release inside the widget.
void NotePress(const QMouseEvent* event, bool* pressed)
{
    if (event->button() == Qt::LeftButton)
        *pressed = true;
}

bool EndsClick(const QMouseEvent* event, const QWidget& widget, bool* pressed)
{
    const bool wasPressed = std::exchange(*pressed, false);
    return event->button() == Qt::LeftButton && wasPressed && widget.rect().contains(event->position().toPoint());
}

} // namespace

ImageControl::ImageControl(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(true);
}

void ImageControl::SetPicture(const QPixmap& picture)
{
    picture_ = picture;
    update();
}

void ImageControl::paintEvent(QPaintEvent*)
{
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}

void ImageControl::mousePressEvent(QMouseEvent* event) { NotePress(event, &pressed_); }

void ImageControl::mouseReleaseEvent(QMouseEvent* event)
{
    if (EndsClick(event, *this, &pressed_))
        Q_EMIT clicked();
}

void ImageControl::mouseMoveEvent(QMouseEvent* event) { Q_EMIT mouseMoved(event->buttons(), event->position()); }

PixelSurface::PixelSurface(QWidget* parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PixelSurface::SetBackColor(ColorValue color) { backColor_ = color; }

void PixelSurface::Cls()
{
    EnsureSurface();
    surface_.fill(ToQColor(backColor_));
    update();
}

void PixelSurface::SetPixel(int x, int y, ColorValue color)
{
    EnsureSurface();
    if (x < 0 || y < 0 || x >= surface_.width() || y >= surface_.height())
        return;
    surface_.setPixel(x, y, ToQColor(color).rgb());
}

void PixelSurface::Line(int x1, int y1, int x2, int y2) { Line(x1, y1, x2, y2, drawColor_); }

void PixelSurface::Line(int x1, int y1, int x2, int y2, ColorValue color)
{
    // Bresenham from A towards B; B itself is left unset.
    const int dx = std::abs(x2 - x1);
    const int dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    int x = x1;
    int y = y1;
    while (x != x2 || y != y2) {
        SetPixel(x, y, color);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    update();
}

void PixelSurface::PSet(int x, int y) { PSet(x, y, drawColor_); }

void PixelSurface::PSet(int x, int y, ColorValue color)
{
    SetPixel(x, y, color);
    update();
}

void PixelSurface::Box(int x1, int y1, int x2, int y2, ColorValue color)
{
    const int left = std::min(x1, x2), right = std::max(x1, x2);
    const int top = std::min(y1, y2), bottom = std::max(y1, y2);
    for (int x = left; x <= right; ++x) {
        SetPixel(x, top, color);
        SetPixel(x, bottom, color);
    }
    for (int y = top; y <= bottom; ++y) {
        SetPixel(left, y, color);
        SetPixel(right, y, color);
    }
    update();
}

void PixelSurface::FillBox(int x1, int y1, int x2, int y2, ColorValue color)
{
    const int left = std::min(x1, x2), right = std::max(x1, x2);
    const int top = std::min(y1, y2), bottom = std::max(y1, y2);
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            SetPixel(x, y, color);
    update();
}

const QImage& PixelSurface::Surface() const
{
    EnsureSurface();
    return surface_;
}

ColorValue PixelSurface::PixelAt(int x, int y) const
{
    EnsureSurface();
    if (x < 0 || y < 0 || x >= surface_.width() || y >= surface_.height())
        return 0;
    return FromQColor(QColor(surface_.pixel(x, y)));
}

void PixelSurface::paintEvent(QPaintEvent*)
{
    EnsureSurface();
    QPainter painter(this);
    painter.drawImage(0, 0, surface_);
}

void PixelSurface::resizeEvent(QResizeEvent*) { EnsureSurface(); }

void PixelSurface::EnsureSurface() const
{
    // A hidden widget gets no resize event until shown, so the drawing follows
    // the widget's size whenever it is touched. It survives a resize; new area
    // takes the back colour.
    if (surface_.size() == size().expandedTo(QSize(1, 1)))
        return;
    QImage grown(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    grown.fill(ToQColor(backColor_));
    if (!surface_.isNull()) {
        QPainter painter(&grown);
        painter.drawImage(0, 0, surface_);
    }
    surface_ = grown;
}

void PixelSurface::mousePressEvent(QMouseEvent* event) { Q_EMIT mousePressed(event->button(), event->position()); }

void PixelSurface::mouseReleaseEvent(QMouseEvent* event) { Q_EMIT mouseReleased(event->button(), event->position()); }

void PixelSurface::mouseMoveEvent(QMouseEvent* event) { Q_EMIT mouseMoved(event->buttons(), event->position()); }

ShapeOutline::ShapeOutline(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeOutline::SetBorderColor(ColorValue color)
{
    color_ = color;
    update();
}

void ShapeOutline::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(ToQColor(color_));
    painter.drawRect(0, 0, width() - 1, height() - 1);
}

ColorBox::ColorBox(QWidget* parent)
    : QWidget(parent)
{
}

void ColorBox::SetBackColor(ColorValue color)
{
    color_ = color;
    update();
}

void ColorBox::SetBorder(bool on)
{
    border_ = on;
    update();
}

void ColorBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(color_));
    if (border_) {
        painter.setPen(Qt::black);
        painter.drawRect(0, 0, width() - 1, height() - 1);
    }
}

void ColorBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

void ColorBox::mouseDoubleClickEvent(QMouseEvent*) { Q_EMIT doubleClicked(); }

ClickLabel::ClickLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    setMouseTracking(true);
}

void ClickLabel::mousePressEvent(QMouseEvent* event) { NotePress(event, &pressed_); }

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (EndsClick(event, *this, &pressed_))
        Q_EMIT clicked();
}

void ClickLabel::mouseMoveEvent(QMouseEvent* event) { Q_EMIT mouseMoved(event->buttons(), event->position()); }

namespace Design {

QFont Font(const QString& family, double points, bool bold)
{
    QFont font = QApplication::font();
    QStringList families;
    if (family == QLatin1String("Arial"))
        families = {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")};
    else if (family == QLatin1String("Verdana"))
        families = {QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")};
    else if (family == QLatin1String("Fixedsys"))
        families = {QStringLiteral("Fixedsys"), QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
                    QStringLiteral("Monospace")};
    else if (!family.isEmpty())
        families = {family};
    if (!families.isEmpty())
        font.setFamilies(families);
    if (points > 0)
        font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void SetTextColor(QWidget* widget, ColorValue color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, ToQColor(color));
    palette.setColor(QPalette::Text, ToQColor(color));
    palette.setColor(QPalette::ButtonText, ToQColor(color));
    widget->setPalette(palette);
}

ColorValue TextColor(const QWidget* widget) { return FromQColor(widget->palette().color(QPalette::WindowText)); }

void SetBackColor(QWidget* widget, ColorValue color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    // Base as well, for text boxes, and the widget's own background role (a
    // check box fills with Button); not Button on a page, whose buttons
    // (cmdOpen) would inherit it as their face colour.
    palette.setColor(QPalette::Base, ToQColor(color));
    palette.setColor(widget->backgroundRole(), ToQColor(color));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel* Label(QWidget* parent, const QString& caption, int leftTwips, int topTwips, const QFont& font, ColorValue color)
{
    auto* label = new QLabel(caption, parent);
    StyleLabel(label, leftTwips, topTwips, font, color);
    return label;
}

void StyleLabel(QLabel* label, int leftTwips, int topTwips, const QFont& font, ColorValue color)
{
    label->setFont(font);
    SetTextColor(label, color);
    label->setAutoFillBackground(false);
    label->adjustSize();
    Move(label, leftTwips, topTwips);
}

void SetCaption(QLabel* label, const QString& caption)
{
    label->setText(caption);
    label->adjustSize();
}

void Place(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(Twips::ToPixels(left, top, width, height));
}

void Move(QWidget* widget, int left, int top) { widget->move(Twips::ToPixels(left, top)); }

ColorValue SystemWindowBackground() { return FromQColor(QApplication::palette().color(QPalette::Base)); }

ColorValue SystemWindowText() { return FromQColor(QApplication::palette().color(QPalette::Text)); }

} // namespace Design
