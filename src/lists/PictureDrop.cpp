// SPDX-License-Identifier: GPL-3.0-or-later
// Files dropped from a file manager onto the picture list.
#include "lists/PictureDrop.h"

#include "lists/PicturesPage.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>
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
    PictureDropFilter(PicturesPage& page, QObject* parent)
        : QObject(parent)
        , page_(&page)
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
            QPointer<PicturesPage> page = page_;
            QMetaObject::invokeMethod(
                page_,
                [page, paths] {
                    if (page)
                        page->lstPic_DropFiles(paths);
                },
                Qt::QueuedConnection);
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    QPointer<PicturesPage> page_;
};

} // namespace

void AcceptPictureDrops(PicturesPage& page, QTreeView* list)
{
    list->viewport()->setAcceptDrops(true);
    list->viewport()->installEventFilter(new PictureDropFilter(page, list));
}
