// SPDX-License-Identifier: GPL-3.0-or-later
// Signals of step 1, and files dropped from a file manager onto the picture list.
#include "app/FrmGif.h"

#include "app/DoubleClickHook.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTreeView>
#include <QUrl>

namespace {

QStringList LocalFiles(const QMimeData* mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

// Takes drops of local files on the list's viewport; the list view itself
// accepts no drag and drop of its rows.
class PictureDropFilter final : public QObject {
public:
    PictureDropFilter(FrmGif& form, QObject* parent)
        : QObject(parent)
        , form_(&form)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            // Anything but files (rows dragged from a list view) is refused:
            // it would add to one list only.
            if (LocalFiles(drag->mimeData()).isEmpty()) {
                drag->ignore();
                return true;
            }
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList paths = LocalFiles(drop->mimeData());
            if (paths.isEmpty()) {
                drop->ignore();
                return true;
            }
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            // Added after the drop returns, so the file manager is not kept
            // waiting while a large batch is measured.
            QPointer<FrmGif> form = form_;
            QMetaObject::invokeMethod(
                form_,
                [form, paths] {
                    if (form)
                        form->lstPic_DropFiles(paths);
                },
                Qt::QueuedConnection);
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    QPointer<FrmGif> form_;
};

} // namespace

void FrmGif::WireLists()
{
    connect(cmdAddImg, &ImageControl::clicked, this, [this] { cmdAddImg_Click(); });
    connect(cmdDelImg, &ImageControl::clicked, this, [this] { cmdDelImg_Click(); });
    connect(cmdUpImg, &ImageControl::clicked, this, [this] { cmdUpImg_Click(); });
    connect(cmdDownImg, &ImageControl::clicked, this, [this] { cmdDownImg_Click(); });
    connect(cmdPreviewImg, &ImageControl::clicked, this, [this] { cmdPreviewImg_Click(); });
    connect(cmdAdd, &QPushButton::clicked, this, [this] { cmdAdd_Click(); });
    connect(cmdDel, &QPushButton::clicked, this, [this] { cmdDel_Click(); });
    connect(cmdUp, &QPushButton::clicked, this, [this] { cmdUp_Click(); });
    connect(cmdDown, &QPushButton::clicked, this, [this] { cmdDown_Click(); });
    connect(cmdPreview, &QPushButton::clicked, this, [this] { cmdPreview_Click(); });
    // clicked, not stateChanged: only the user's click checks or unchecks all rows.
    connect(chkAll, &QCheckBox::clicked, this, [this] { chkAll_Click(); });
    // Anywhere on the list, also below the last row.
    lstPic->viewport()->installEventFilter(new DoubleClickHook(lstPic->viewport(), [this] { lstPic_DblClick(); }));

    lstPic->viewport()->setAcceptDrops(true);
    lstPic->viewport()->installEventFilter(new PictureDropFilter(*this, lstPic));
}
