// SPDX-License-Identifier: GPL-3.0-or-later
// Adds camera-sized pictures (4000 x 3000, JPEG and PNG taking turns) through
// the add button's handler (the open dialog answered with all of them at
// once) and prints the time taken, how often the picture list was repainted
// meanwhile, and the cost of a second pick of the same files (all of them
// already listed). Arguments: the number of files (1000), and "hidden" to
// leave the window unshown, which shows what the repaints between files cost.
// One JPEG and one PNG are encoded; the other files are hard links to them, so
// a thousand pictures cost no disk and the times are those of a warm cache.
#include "app/FrmGif.h"
#include "lists/PicturesPage.h"
#include "ui/Dialogs.h"
#include "ui/Messages.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTreeView>

#include <cstdio>
#include <unistd.h>

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
    // A photo-like picture: smooth gradients with fine detail, so neither
    // format compresses it to nothing.
    QImage photo(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x)
            line[x] = qRgb((x / 16 + (x * y) % 7) & 255, (y / 12 + (x ^ y) % 5) & 255, ((x + y) / 28) & 255);
    }
    const QString sources[2] = {dir.filePath(QStringLiteral("source.jpg")), dir.filePath(QStringLiteral("source.png"))};
    if (!photo.save(sources[0], "JPEG", 90) || !photo.save(sources[1], "PNG")) {
        std::fprintf(stderr, "cannot write the source pictures in %s\n", qPrintable(dir.path()));
        return 1;
    }
    for (int i = 0; i < count; ++i) {
        const QString name =
            QStringLiteral("pic%1.%2").arg(i, 4, 10, QLatin1Char('0')).arg(QLatin1String(i % 2 ? "png" : "jpg"));
        if (::link(QFile::encodeName(sources[i % 2]).constData(), QFile::encodeName(dir.filePath(name)).constData())
            != 0) {
            std::fprintf(stderr, "cannot link %s\n", qPrintable(dir.filePath(name)));
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
    form.Pictures().findChild<QTreeView*>(QStringLiteral("lstPic"))->viewport()->installEventFilter(&counter);

    QElapsedTimer timer;
    timer.start();
    form.Pictures().cmdAdd_Click();
    const double firstMs = double(timer.nsecsElapsed()) / 1e6;
    const int paintsDuringAdd = counter.paints;

    timer.restart();
    form.Pictures().cmdAdd_Click(); // every file is listed already
    const double secondMs = double(timer.nsecsElapsed()) / 1e6;

    std::printf("added %d of %d pictures in %.1f ms (%.3f ms per picture)\n", form.PictureCount(), count, firstMs,
                firstMs / count);
    std::printf("picture list repainted %d times while adding\n", paintsDuringAdd);
    std::printf("picking the same %d files again: %.1f ms (%.3f ms per picture), %d added\n", count, secondMs,
                secondMs / count, form.PictureCount() - count);
    std::printf("messages shown: %d\n", messages);
    Dialogs::SetHandlers({});
    Messages::SetShowHandler({});
    return form.PictureCount() == count ? 0 : 1;
}
