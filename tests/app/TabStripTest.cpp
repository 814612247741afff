// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ModTab.h"
#include "support/FormFixture.h"

#include <QLabel>
#include <QTest>

namespace {

QString Hex(ColorValue c) { return QStringLiteral("RGB(%1,%2,%3)").arg(c % 256).arg((c / 256) % 256).arg(c / 65536); }

#define EXPECT_PIXEL(surface, x, y, expected)                                                                          \
    EXPECT_EQ(Hex((surface).PixelAt((x), (y))).toStdString(), Hex(expected).toStdString())                             \
        << "at (" << (x) << ", " << (y) << ")"

constexpr ColorValue kBlue = Rgb(0, 0, 255);
constexpr ColorValue kWhite = Rgb(255, 255, 255);

class TabStripTest : public FormFixture {
protected:
    PixelSurface& tab() { return *form->picTab; }
    int visiblePage() const
    {
        int visible = -1, count = 0;
        for (int i = 0; i < 5; ++i)
            if (!form->picTabs[static_cast<std::size_t>(i)]->isHidden()) {
                visible = i;
                ++count;
            }
        return count == 1 ? visible : -100 - count;
    }
    void ReleaseOnTab(double x, double y, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseRelease(form->picTab, button, {}, QPointF(x, y).toPoint());
        if (x != std::floor(x) || y != std::floor(y))
            form->picTab_MouseUp(button, QPointF(x, y)); // sub-pixel positions straight to the handler
    }
};

TEST_F(TabStripTest, GeometryAtDesignSize)
{
    EXPECT_EQ(tab().ScaleWidth(), 701);
    EXPECT_EQ(tab().ScaleHeight(), 448);
    EXPECT_EQ(form->Tabs().StripWidth, 681);
    EXPECT_EQ(form->Tabs().StripHeight, 428);
    EXPECT_EQ(form->Tabs().TabWidth, 136);
    for (QWidget* page : form->picTabs)
        EXPECT_EQ(page->geometry(), QRect(15, 40, 671, 393));
}

TEST_F(TabStripTest, UnselectedTabOutlineAndRamp)
{
    // Tab 1 spans x 146..282, y 10..35.
    const int x1 = 146, x2 = 282, y1 = 10, y2 = 35;
    // Top edge runs from x1 + 2 up to x2 - 2; the corners are bevelled.
    EXPECT_PIXEL(tab(), x1 + 2, y1, kBlue);
    EXPECT_PIXEL(tab(), x2 - 2, y1, kBlue);
    EXPECT_NE(tab().PixelAt(x2 - 1, y1), kBlue);
    EXPECT_NE(tab().PixelAt(x1 + 1, y1), kBlue);
    EXPECT_PIXEL(tab(), x1 + 1, y1 + 1, kBlue);
    EXPECT_PIXEL(tab(), x2 - 1, y1 + 1, kBlue);
    EXPECT_NE(tab().PixelAt(x1, y1 + 1), kBlue);
    EXPECT_PIXEL(tab(), x1, y1 + 2, kBlue);
    EXPECT_PIXEL(tab(), x2, y2 - 1, kBlue);
    // Ramp rows 1 and 24, between the side lines.
    EXPECT_PIXEL(tab(), x1 + 2, y1 + 1, Rgb(244, 247, 252));
    EXPECT_PIXEL(tab(), x2 - 2, y1 + 1, Rgb(244, 247, 252));
    EXPECT_PIXEL(tab(), x1 + 1, y1 + 24, Rgb(224, 232, 246));
    EXPECT_PIXEL(tab(), x2 - 1, y1 + 24, Rgb(224, 232, 246));
    // The blue base line stays under an unselected tab, including pixel x2.
    for (int x : {x1, x1 + 1, x1 + 60, x2 - 1, x2})
        EXPECT_PIXEL(tab(), x, y2, kBlue);
}

TEST_F(TabStripTest, SelectedTabOpensIntoItsPage)
{
    const int x1 = 10, x2 = 146, y1 = 10, y2 = 35;
    EXPECT_PIXEL(tab(), x1 + 2, y1 + 1, kWhite);
    EXPECT_PIXEL(tab(), x1 + 1, y1 + 24, kWhite);
    // The base line is white but for its two end pixels.
    EXPECT_PIXEL(tab(), x1, y2, kBlue);
    EXPECT_PIXEL(tab(), x2, y2, kBlue);
    EXPECT_PIXEL(tab(), x1 + 1, y2, kWhite);
    EXPECT_PIXEL(tab(), x2 - 1, y2, kWhite);
}

TEST_F(TabStripTest, PageFrame)
{
    // Left side, bottom to R + 1, right side at R = 690; bottom at B = 438.
    EXPECT_PIXEL(tab(), 10, 36, kBlue);
    EXPECT_PIXEL(tab(), 10, 437, kBlue);
    EXPECT_PIXEL(tab(), 10, 438, kBlue);
    EXPECT_PIXEL(tab(), 690, 438, kBlue);
    EXPECT_NE(tab().PixelAt(691, 438), kBlue);
    EXPECT_PIXEL(tab(), 690, 36, kBlue);
    EXPECT_PIXEL(tab(), 690, 437, kBlue);
    EXPECT_NE(tab().PixelAt(10, 439), kBlue);
}

TEST_F(TabStripTest, ColourHelpersSplitTheBytes)
{
    EXPECT_EQ(ModTab::RedOf(Rgb(12, 34, 56)), 12);
    EXPECT_EQ(ModTab::GreenOf(Rgb(12, 34, 56)), 34);
    EXPECT_EQ(ModTab::BlueOf(Rgb(12, 34, 56)), 56);
    EXPECT_EQ(ModTab::BlueOf(16777215), 255);
}

TEST_F(TabStripTest, ClickRules)
{
    ASSERT_EQ(visiblePage(), 0);
    ReleaseOnTab(300, 33); // the two lowest rows inside a tab do not count
    EXPECT_EQ(visiblePage(), 0);
    ReleaseOnTab(300, 10); // nor the top edge row
    EXPECT_EQ(visiblePage(), 0);
    ReleaseOnTab(10, 20); // nor X on the left margin
    EXPECT_EQ(visiblePage(), 0);
    ReleaseOnTab(282, 20); // exactly on the boundary: the tab to its right
    EXPECT_EQ(visiblePage(), 2);
    EXPECT_EQ(form->Tabs().CurrentTab, 2);
    ReleaseOnTab(690, 20); // right of the last tab
    EXPECT_EQ(visiblePage(), 2);
    ReleaseOnTab(689.5, 32.9, Qt::RightButton); // any button
    EXPECT_EQ(visiblePage(), 4);
    ReleaseOnTab(200, 20, Qt::MiddleButton);
    EXPECT_EQ(visiblePage(), 1);
    EXPECT_PIXEL(tab(), 146 + 2, 11, kWhite);
    EXPECT_PIXEL(tab(), 12, 11, Rgb(244, 247, 252)); // step 1 drawn unselected again
}

TEST_F(TabStripTest, CaptionsSelectAndRestyle)
{
    QTest::mouseClick(form->LabCap[3], Qt::LeftButton);
    EXPECT_EQ(visiblePage(), 3);
    for (int i = 0; i < 5; ++i) {
        const QLabel* caption = form->LabCap[static_cast<std::size_t>(i)];
        EXPECT_EQ(caption->font().bold(), i == 3) << i;
        EXPECT_EQ(Design::TextColor(caption), i == 3 ? Rgb(192, 0, 0) : Rgb(88, 133, 199)) << i;
    }
    const int left = form->LabCap[3]->x();
    QTest::mouseClick(form->LabCap[0], Qt::LeftButton);
    EXPECT_EQ(form->LabCap[3]->x(), left); // captions are never centred again
    EXPECT_EQ(visiblePage(), 0);
    EXPECT_EQ(form->LabCap[4]->text(), QStringLiteral("5. Create GIF Now!"));
}

TEST_F(TabStripTest, DrawingSurvivesHidingAndRepainting)
{
    const QImage before = tab().Surface().copy();
    form->hide();
    form->LabCap_Click(3);
    form->LabCap_Click(0); // drawn over and back while hidden
    form->show();
    EXPECT_EQ(tab().Surface(), before) << "step 1 drawn again as it was";
    // What the box paints once shown again is its drawing.
    QImage painted(before.size(), QImage::Format_RGB32);
    painted.fill(Qt::black);
    form->picTab->render(&painted, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    EXPECT_EQ(painted, before);
    EXPECT_EQ(FromQColor(QColor(painted.pixel(10, 30))), kBlue);
}

} // namespace
