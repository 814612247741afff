// SPDX-License-Identifier: GPL-3.0-or-later
// The picture page without the main window: everything it asks of the window
// goes through its BusyHost and its signals.
#include "lists/PicturesPage.h"
#include "support/Named.h"
#include "ui/BusyHost.h"
#include "ui/DocumentModel.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class RecordingWindow final : public BusyHost {
public:
    bool IsClosing() const override { return closing; }
    bool closing = false;
    int depth = 0;
    int deepest = 0;

protected:
    void BusyBegun() override { deepest = std::max(deepest, ++depth); }
    void BusyEnded() override { --depth; }
};

TEST(PicturesPageTest, AloneItAddsUnderTheWindowsScopeAndTellsTheOtherStepsInOrder)
{
    QTemporaryDir dir;
    QStringList paths;
    for (const char* name : {"a.png", "b.png", "c.png", "d.png"}) {
        QImage image(8, 6 + static_cast<int>(paths.size()), QImage::Format_RGB32);
        image.fill(Qt::green);
        paths << dir.filePath(QLatin1String(name));
        ASSERT_TRUE(image.save(paths.last()));
    }
    DocumentModel document;
    RecordingWindow window;
    PicturesPage page(
        document, window,
        [](const QString& name) {
            return FrameRow{name, PlayTime::FromText(QStringLiteral("70")), true, 0};
        },
        nullptr);
    QStringList events;
    QObject::connect(&page, &PicturesPage::ListChanging,
                     [&] { events << QStringLiteral("stop at %1").arg(document.Rows().Count()); });
    QObject::connect(&page, &PicturesPage::SizeListChanged,
                     [&](const QList<QSize>& sizes) { events << QStringLiteral("%1 sizes").arg(sizes.size()); });
    QObject::connect(&page, &PicturesPage::CountChanged,
                     [&](int count) { events << QStringLiteral("count %1").arg(count); });

    page.lstPic_DropFiles(paths.mid(0, 2));
    EXPECT_EQ(events, QStringList({QStringLiteral("stop at 0"), QStringLiteral("2 sizes"), QStringLiteral("count 2")}));
    ASSERT_EQ(document.Rows().Count(), 2);
    EXPECT_EQ(document.Rows().Frame(2)->name, QStringLiteral("b.png"));
    EXPECT_EQ(document.Rows().Frame(2)->playTime.ms, 70);
    EXPECT_EQ(Named<QLabel>(page, "LabTotal")->text(), QStringLiteral("2"));
    EXPECT_EQ(window.deepest, 1);
    EXPECT_EQ(window.depth, 0);

    // A window that is closing ends the batch after its current file.
    window.closing = true;
    page.lstPic_DropFiles(paths.mid(2));
    EXPECT_EQ(document.Rows().Count(), 3);
    EXPECT_EQ(window.depth, 0);
}

} // namespace
