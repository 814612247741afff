// SPDX-License-Identifier: GPL-3.0-or-later
// Adds 1000 small PNG files through the add button's handler (the open dialog
// answered with all of them at once) and prints the time taken, how often the
// picture list was repainted meanwhile, and the cost of a second pick of the
// same files (all of them already listed). Arguments: the number of files
// (1000), and "hidden" to leave the window unshown, which shows what the
// repaints between files cost.
#include "app/Dialogs.h"
#include "app/FrmGif.h"
#include "app/Messages.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QImage>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>

namespace {
class PaintCounter final : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000;
    const bool hidden = argc > 2 && QString::fromLocal8Bit(argv[2]) == QLatin1String("hidden");

    QTemporaryDir dir;
    QStringList pieces{QDir::toNativeSeparators(dir.path())};
    for (int i = 0; i < count; ++i) {
        QImage image(64 + i % 7, 48 + i % 5, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(i % 360, 200, 220));
        const QString name = QStringLiteral("pic%1.png").arg(i, 4, 10, QLatin1Char('0'));
        if (!image.save(dir.filePath(name))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(dir.filePath(name)));
            return 1;
        }
        pieces << name;
    }
    const QString answer = pieces.join(QChar(0));

    int messages = 0;
    Messages::SetShowHandler([&](const Messages::Message&) { ++messages; });
    Dialogs::Handlers handlers;
    handlers.open = [&](const Dialogs::OpenRequest&) { return std::optional<QString>(answer); };
    Dialogs::SetHandlers(handlers);

    FrmGif form;
    if (!hidden)
        form.show();
    QCoreApplication::processEvents();
    PaintCounter counter;
    form.lstPic->viewport()->installEventFilter(&counter);

    QElapsedTimer timer;
    timer.start();
    form.cmdAdd_Click();
    const double firstMs = double(timer.nsecsElapsed()) / 1e6;
    const int paintsDuringAdd = counter.paints;

    timer.restart();
    form.cmdAdd_Click(); // every file is listed already
    const double secondMs = double(timer.nsecsElapsed()) / 1e6;

    std::printf("added %d of %d pictures in %.1f ms (%.3f ms per picture)\n", form.PictureCount(), count,
                firstMs, firstMs / count);
    std::printf("picture list repainted %d times while adding\n", paintsDuringAdd);
    std::printf("picking the same %d files again: %.1f ms (%.3f ms per picture), %d added\n", count,
                secondMs, secondMs / count, form.PictureCount() - count);
    std::printf("messages shown: %d\n", messages);
    Dialogs::SetHandlers({});
    Messages::SetShowHandler({});
    return form.PictureCount() == count ? 0 : 1;
}
