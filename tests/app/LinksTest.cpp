// SPDX-License-Identifier: GPL-3.0-or-later
// The three links: website, help file and the About window.
#include "app/FrmAbout.h"
#include "app/ModLinks.h"
#include "app/ModTab.h"
#include "support/FormFixture.h"
#include "ui/Artwork.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

namespace {

class LinksTest : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        ModLinks::SetOpener([this](const QUrl& url) { opened.push_back(url); });
        ModLinks::SetViewerCheck([this] { return viewer; });
        onModal = [this](QDialog& dialog) {
            ++modals;
            dialog.reject();
            return int(QDialog::Rejected);
        };
    }
    void TearDown() override
    {
        ModLinks::SetOpener({});
        ModLinks::SetViewerCheck({});
        FormFixture::TearDown();
    }

    void ClickLink(int index)
    {
        QLabel* link = form->LabLinks[static_cast<std::size_t>(index)];
        const QPoint at = link->mapTo(form.get(), link->rect().center());
        QTest::mouseMove(form->windowHandle(), at);
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, at);
    }

    std::vector<QUrl> opened;
    bool viewer = true;
    int modals = 0;
};

TEST_F(LinksTest, WebsiteOpensTheHomePageAndTheLinkStaysLit)
{
    ClickLink(0);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl(QStringLiteral("https://flipreel.org/")));
    EXPECT_EQ(modals, 0);
    EXPECT_TRUE(messages.empty());
    // The click does not take the highlight back; the background does.
    EXPECT_TRUE(form->LabLinks[0]->font().bold());
    QTest::mouseMove(form->windowHandle(), QPoint(400, 12));
    EXPECT_FALSE(form->LabLinks[0]->font().bold());

    for (int index : {-1, 3})
        form->LabLinks_Click(index);
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_EQ(modals, 0);
}

TEST_F(LinksTest, HelpWithTheFileAbsentChangesNothing)
{
    const QString folder = QCoreApplication::applicationDirPath();
    const QString chm = folder + QStringLiteral("/flipreel.chm");
    ASSERT_FALSE(QFile::exists(chm));
    ASSERT_FALSE(QFile::exists(folder + QStringLiteral("/help/index.html")));
    form->LabCap_Click(2);

    for (bool withViewer : {true, false}) {
        viewer = withViewer;
        opened.clear();
        ClickLink(1);
        // Handed to the desktop anyway, which reports or ignores it; the
        // program itself shows nothing and stays as it was.
        ASSERT_EQ(opened.size(), 1u) << withViewer;
        EXPECT_EQ(opened[0].toLocalFile(), chm);
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(modals, 0);
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(form->Tabs().CurrentTab, 2);
    }
}

TEST_F(LinksTest, AboutShowsTheSameFreshWindowEveryTimeCentredOnTheMainWindow)
{
    form->move(40, 30);
    std::vector<QStringList> seen;
    onModal = [&](QDialog& dialog) {
        auto* about = qobject_cast<FrmAbout*>(&dialog);
        EXPECT_NE(about, nullptr);
        if (!about)
            return int(QDialog::Rejected);
        EXPECT_TRUE(about->isModal());
        const QPoint offset = about->geometry().center() - form->geometry().center();
        EXPECT_LE(offset.manhattanLength(), 2);
        seen.push_back({about->windowTitle(), about->Label1->text(), about->Label2->text()});
        // A change made while it is open must not survive its closing.
        about->Label1->setText(QStringLiteral("changed"));
        about->reject();
        return int(QDialog::Rejected);
    };
    ClickLink(2);
    ClickLink(2);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(
        seen[0],
        QStringList({QStringLiteral("About Flipreel 1.30"), QStringLiteral("Flipreel"), QStringLiteral("VER   1.30")}));
    EXPECT_EQ(seen[1], seen[0]);
    EXPECT_TRUE(opened.empty());
}

TEST_F(LinksTest, AboutWindowDesign)
{
    FrmAbout about(form.get());
    EXPECT_EQ(about.size(), QSize(448, 330));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    EXPECT_TRUE(about.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(about.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(about.Image1->geometry(), QRect(16, 16, 180, 184));
    EXPECT_EQ(about.Label1->pos(), QPoint(92, 56));
    EXPECT_EQ(about.Label2->pos(), QPoint(212, 84));
    for (const QLabel* label : {about.Label1, about.Label2}) {
        EXPECT_TRUE(label->font().bold());
        EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 15.0);
        EXPECT_EQ(label->size(), label->sizeHint());
    }
    EXPECT_EQ(Design::TextColor(about.Label1), Rgb(255, 0, 0));
    EXPECT_EQ(Design::TextColor(about.Label2), Rgb(128, 128, 255));

    // White behind the background picture, drawn from the top-left corner and
    // cut off at the right and bottom; compared where no control lies.
    const QImage picture = Artwork::PictureImage(QStringLiteral("about-background"));
    QImage expected(about.size(), QImage::Format_ARGB32);
    expected.fill(Qt::white);
    QPainter(&expected).drawImage(0, 0, picture);
    const QImage shot = about.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(shot.size(), expected.size());
    int compared = 0, differ = 0, coloured = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            if (about.childAt(x, y))
                continue;
            ++compared;
            differ += shot.pixel(x, y) != expected.pixel(x, y);
            coloured += expected.pixel(x, y) != qRgb(255, 255, 255);
        }
    EXPECT_GT(coloured, compared / 4); // the picture is not plain white
    EXPECT_EQ(differ, 0);
}

// ---- What a help click opens ----

TEST(HelpDocumentTest, CompiledFileWhereItCanBeShownElseThePages)
{
    QTemporaryDir dir;
    const QString chm = dir.path() + QStringLiteral("/flipreel.chm");
    const QString html = dir.path() + QStringLiteral("/help/index.html");
    auto put = [](const QString& path) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        return file.open(QIODevice::WriteOnly);
    };
    // Nothing there: the compiled file's path all the same.
    EXPECT_EQ(ModLinks::HelpDocument(dir.path(), true), chm);
    EXPECT_EQ(ModLinks::HelpDocument(dir.path(), false), chm);
    // A folder of that name is not the file.
    QDir(dir.path()).mkdir(QStringLiteral("flipreel.chm"));
    ASSERT_TRUE(put(html));
    EXPECT_EQ(ModLinks::HelpDocument(dir.path(), true), html);
    EXPECT_EQ(ModLinks::HelpDocument(dir.path(), false), html);
    QDir(dir.path()).rmdir(QStringLiteral("flipreel.chm"));
    ASSERT_TRUE(put(chm));
    EXPECT_EQ(ModLinks::HelpDocument(dir.path(), true), chm);
    EXPECT_EQ(ModLinks::HelpDocument(dir.path(), false), html);
    QFile::remove(html);
    EXPECT_EQ(ModLinks::HelpDocument(dir.path(), false), chm); // nothing better to offer
}

TEST(HelpPathTest, FolderAndNameAreJoinedAsTheyStandAndReachTheDesktopSo)
{
    EXPECT_EQ(ModLinks::HelpFilePath(QStringLiteral("/opt/flipreel")), QStringLiteral("/opt/flipreel/flipreel.chm"));
    // At the root the separator doubles.
    EXPECT_EQ(ModLinks::HelpFilePath(QStringLiteral("/")), QStringLiteral("//flipreel.chm"));
    const QUrl root = ModLinks::LocalFileUrl(QStringLiteral("//flipreel.chm"));
    EXPECT_TRUE(root.host().isEmpty()); // not a host called flipreel.chm
    EXPECT_EQ(root.toLocalFile(), QStringLiteral("//flipreel.chm"));

    for (const QString& path : {QStringLiteral("//flipreel.chm"), QStringLiteral("/home/ann/My Apps/flipreel.chm"),
                                QStringLiteral("/tmp/100%/#1?/flipreel.chm"),
                                QStringLiteral("/opt/\u00fcbersicht/\u52a8\u753b/flipreel.chm")}) {
        const QUrl url = ModLinks::LocalFileUrl(path);
        EXPECT_TRUE(url.isValid() && url.isLocalFile()) << path.toStdString();
        EXPECT_EQ(QUrl(url.toString()).toLocalFile(), path) << url.toString().toStdString();
    }
}

} // namespace
