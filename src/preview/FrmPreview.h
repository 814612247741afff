// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QImage>
#include <QRectF>
#include <QSize>

#include <memory>

class PixelSurface;

// frmPreview: one picture of the list, shrunk to fit 600 x 400, centred on a
// white window inside a thin blue frame, with the shown size in the caption.
// Modal; any click closes it. Created for each opening.
class FrmPreview final : public QDialog {
    Q_OBJECT
public:
    // What an opening shows.
    struct Picture {
        QString path; // the file; empty shows no picture
        QSize size;   // the listed size; a missing value is 0
    };

    FrmPreview(QWidget* owner, const Picture& picture);
    ~FrmPreview() override;
    Q_DISABLE_COPY_MOVE(FrmPreview)

    void Form_Load();
    void Form_Click();
    void imgPreview_Click();

    // imgPreview: an image in stretch mode, painted by the window at its own
    // single-precision box (left and top may end in .5).
    struct StretchImage {
        float Left = 0;
        float Top = 0;
        float Width = 0;
        float Height = 0;
        // The picture as it is drawn: already scaled to the box.
        QImage Picture;
        QRectF Box() const { return {Left, Top, Width, Height}; }
    };
    const StretchImage& imgPreview() const { return imgPreview_; }

    // The window's drawing surface (the frame line is kept on it).
    PixelSurface* Canvas() const { return canvas_; }

    // The box the picture was given (the fitted W x H).
    QSize ShownSize() const { return {W_, H_}; }

    // The picture is decoded on a worker thread, at the shown size; it
    // appears when ready. True until then.
    bool Loading() const { return loading_; }

    // Decodes for preview windows that exist on worker threads or wait for
    // one. A window's going drops its decode: one not begun leaves the queue at
    // once, one running is discarded the moment it ends.
    static int LiveDecodes();

    // What a window and its decode share.
    struct DecodeTicket;

private:
    void SetPicture(const QImage& picture);
    void DropDecode();
    void ShowDecoded(const QImage& picture);

    Picture picture_;
    PixelSurface* canvas_ = nullptr;
    StretchImage imgPreview_;
    qint32 W_ = 0;
    qint32 H_ = 0;
    bool pressed_ = false;
    std::shared_ptr<DecodeTicket> decoding_;
    bool loading_ = false;
};
