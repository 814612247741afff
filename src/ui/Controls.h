// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Colors.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPointF>
#include <QWidget>

class QFont;

// An image that takes clicks: shows a picture at its top-left corner and
// reports clicks and pointer moves.
class ImageControl final : public QWidget {
    Q_OBJECT
public:
    explicit ImageControl(QWidget* parent = nullptr);

    void SetPicture(const QPixmap& picture);
    const QPixmap& Picture() const { return picture_; }
    // "Takes the picture of" another image.
    void TakePictureOf(const ImageControl& other) { SetPicture(other.Picture()); }

Q_SIGNALS:
    void clicked();
    void mouseMoved(Qt::MouseButtons buttons, QPointF pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QPixmap picture_;
    bool pressed_ = false;
};

// A picture box with a pixel scale that keeps what is drawn on it: drawing
// goes into its own image, which paintEvent only copies to the screen.
class PixelSurface : public QWidget {
    Q_OBJECT
public:
    explicit PixelSurface(QWidget* parent = nullptr);

    void SetBackColor(ColorValue color);
    ColorValue BackColor() const { return backColor_; }
    void SetDrawColor(ColorValue color) { drawColor_ = color; }
    ColorValue DrawColor() const { return drawColor_; }

    // Inner size in pixels (the scale width and height).
    int ScaleWidth() const { return width(); }
    int ScaleHeight() const { return height(); }

    // Fills the drawing with the back colour.
    void Cls();
    // A line from A to B sets the pixels from A up to B but not B itself.
    void Line(int x1, int y1, int x2, int y2);
    void Line(int x1, int y1, int x2, int y2, ColorValue color);
    void PSet(int x, int y);
    void PSet(int x, int y, ColorValue color);
    // Outline of the box with corners (x1, y1) and (x2, y2), both included.
    void Box(int x1, int y1, int x2, int y2, ColorValue color);
    // Filled box with corners (x1, y1) and (x2, y2), both included.
    void FillBox(int x1, int y1, int x2, int y2, ColorValue color);

    // The drawing as it stands, for tests and for painting.
    const QImage& Surface() const;
    ColorValue PixelAt(int x, int y) const;

Q_SIGNALS:
    void mousePressed(Qt::MouseButton button, QPointF pos);
    void mouseReleased(Qt::MouseButton button, QPointF pos);
    void mouseMoved(Qt::MouseButtons buttons, QPointF pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void SetPixel(int x, int y, ColorValue color);
    void EnsureSurface() const;

    mutable QImage surface_;
    ColorValue backColor_ = Rgb(255, 255, 255);
    ColorValue drawColor_ = 0;
};

// A rectangle outline, one pixel wide, no fill.
class ShapeOutline final : public QWidget {
    Q_OBJECT
public:
    explicit ShapeOutline(QWidget* parent = nullptr);
    void SetBorderColor(ColorValue color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ColorValue color_ = 0;
};

// A plain box whose background colour is a value of the document (the
// transparent colour swatch). Reports single and double clicks.
class ColorBox final : public QWidget {
    Q_OBJECT
public:
    explicit ColorBox(QWidget* parent = nullptr);
    void SetBackColor(ColorValue color);
    ColorValue BackColor() const { return color_; }
    void SetBorder(bool on);

Q_SIGNALS:
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    ColorValue color_ = 0;
    bool border_ = false;
};

// A label that takes clicks and reports pointer moves (tab captions, links).
class ClickLabel final : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(const QString& text, QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();
    void mouseMoved(Qt::MouseButtons buttons, QPointF pos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

// Design helpers shared by every window.
namespace Design {
// Arial, Verdana and the dialog font mapped onto fonts a Linux desktop has.
QFont Font(const QString& family, double points, bool bold = false);
void SetTextColor(QWidget* widget, ColorValue color);
ColorValue TextColor(const QWidget* widget);
void SetBackColor(QWidget* widget, ColorValue color);
// A transparent label sized to its text, at a place in twips.
QLabel* Label(QWidget* parent, const QString& caption, int leftTwips, int topTwips, const QFont& font,
              ColorValue color);
// Gives an existing label the same design treatment.
void StyleLabel(QLabel* label, int leftTwips, int topTwips, const QFont& font, ColorValue color);
// A new caption for a label sized to its text: the label grows or shrinks
// with it, keeping its top-left corner.
void SetCaption(QLabel* label, const QString& caption);
// Places a widget at left, top, width x height in twips.
void Place(QWidget* widget, int left, int top, int width, int height);
void Move(QWidget* widget, int left, int top);
// The desktop's window colours: the background of documents and text boxes
// (white by default), not the grey face of buttons and dialogs.
ColorValue SystemWindowBackground();
ColorValue SystemWindowText();
} // namespace Design
