// SPDX-License-Identifier: GPL-3.0-or-later
// Memory and time of loading the animation preview of many large JPEG pictures.
//
//   bench_preview_memory [pictures=1000] [distinct files=8] [output width=2000] [output height=1000]
//
// The files are 4000 x 3000 JPEGs written once into a temporary folder; the
// list names them in turn, so every row is decoded on its own. The default
// output (2000 x 1000) gives the largest preview box, 600 x 300.
#include "app/FrmGif.h"
#include "lists/PicturesPage.h"
#include "preview/PreviewPage.h"
#include "settings/SettingsPage.h"
#include "ui/ListRows.h"
#include "ui/Messages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeView>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

namespace {

double PeakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

double CurrentRssMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? double(fields[1].toLongLong()) * double(sysconf(_SC_PAGESIZE)) / 1048576.0 : 0;
}

QString WritePicture(const QTemporaryDir& dir, int index)
{
    // A photo-like amount of detail: gradients with lines and text.
    QImage image(4000, 3000, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 4000, 3000);
    gradient.setColorAt(0, QColor::fromHsv((index * 53) % 360, 200, 250));
    gradient.setColorAt(1, QColor::fromHsv((index * 53 + 180) % 360, 255, 90));
    painter.fillRect(image.rect(), gradient);
    painter.setPen(QPen(Qt::white, 3));
    for (int i = 0; i < 200; ++i)
        painter.drawLine((i * 97 + index * 13) % 4000, 0, (i * 61) % 4000, 3000);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 120));
    painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("Frame %1").arg(index));
    painter.end();
    const QString path = dir.filePath(QStringLiteral("big%1.jpg").arg(index));
    if (!image.save(path, "JPEG", 90))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return path;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int pictures = args.size() > 1 ? args[1].toInt() : 1000;
    const int distinct = args.size() > 2 ? std::max(1, args[2].toInt()) : 8;
    const QString width = args.size() > 3 ? args[3] : QStringLiteral("2000");
    const QString height = args.size() > 4 ? args[4] : QStringLiteral("1000");

    Messages::SetShowHandler([](const Messages::Message& m) { std::printf("message: %s\n", qPrintable(m.text)); });

    QTemporaryDir dir;
    QElapsedTimer clock;
    clock.start();
    QStringList files;
    for (int i = 0; i < distinct; ++i)
        files << WritePicture(dir, i);
    qint64 bytes = 0;
    for (const QString& file : files)
        bytes += QFile(file).size();
    std::printf("wrote %d JPEG files of 4000 x 3000 (%.1f MiB) in %.1f s\n", distinct, double(bytes) / 1048576.0,
                double(clock.elapsed()) / 1000.0);

    FrmGif form;
    form.show();
    for (int i = 0; i < pictures; ++i) {
        const QString name = QStringLiteral("big%1.jpg").arg(i % distinct);
        form.Pictures().AddPictureRow({name, QStringLiteral("JPG"), QSize(4000, 3000), dir.path()});
    }
    form.Settings().findChild<QLineEdit*>(QStringLiteral("txtW"))->setText(width);
    form.Settings().findChild<QLineEdit*>(QStringLiteral("txtH"))->setText(height);
    form.Preview().findChild<QPushButton*>(QStringLiteral("cmdGo"))->setEnabled(true);
    form.Preview().findChild<QPushButton*>(QStringLiteral("cmdStop"))->setEnabled(true);
    app.processEvents();

    const double peakBefore = PeakRssMiB();
    const double rssBefore = CurrentRssMiB();
    clock.restart();
    form.Preview().cmdGo_Click();
    const double seconds = double(clock.elapsed()) / 1000.0;
    form.Preview().StopPreview();
    const double rssAfter = CurrentRssMiB();
    const double peakAfter = PeakRssMiB();

    const QSize box = form.Preview().findChild<PreviewArea*>(QStringLiteral("picPreview"))->ElementCount() > 0
        ? form.Preview().findChild<PreviewArea*>(QStringLiteral("picPreview"))->imgPreview(0).picture.size()
        : QSize();
    std::printf("output %s x %s, preview box %d x %d, %d pictures loaded in %.1f s (%.1f ms each)\n", qPrintable(width),
                qPrintable(height), box.width(), box.height(), pictures, seconds,
                pictures > 0 ? seconds * 1000.0 / pictures : 0.0);
    std::printf("resident before load %.0f MiB, after %.0f MiB (%.2f MiB per picture)\n", rssBefore, rssAfter,
                pictures > 0 ? (rssAfter - rssBefore) / pictures : 0.0);
    std::printf("peak resident: %.0f MiB before load, %.0f MiB after (goal: below 1024 MiB for 1000 pictures)\n",
                peakBefore, peakAfter);
    if (pictures > 0 && pictures != 1000)
        std::printf("extrapolated to 1000 pictures: %.0f MiB\n",
                    rssBefore + (rssAfter - rssBefore) * 1000.0 / pictures);
    std::printf("caption: %s\n", qPrintable(form.Preview().findChild<QLabel*>(QStringLiteral("LabLoop"))->text()));
    return 0;
}
