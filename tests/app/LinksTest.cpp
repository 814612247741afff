// SPDX-License-Identifier: GPL-3.0-or-later
// The three links: website, help file and the About window.
#include "app/Artwork.h"
#include "app/FrmAbout.h"
#include "app/ModLinks.h"
#include "app/ModTab.h"
#include "support/FormFixture.h"

#include <QCoreApplication>
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
            if (auto* about = qobject_cast<FrmAbout*>(&dialog))
                seen.push_back(Look(*about));
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

    struct AboutLook {
        QString caption;
        QString label1;
        QString label2;
        QSize client;
        QPoint label1At;
        QPoint label2At;
        bool operator==(const AboutLook&) const = default;
    };
    static AboutLook Look(const FrmAbout& about)
    {
        return { about.windowTitle(), about.Label1->text(), about.Label2->text(), about.size(),
            about.Label1->pos(), about.Label2->pos() };
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
    std::vector<AboutLook> seen;
};

TEST_F(LinksTest, WebsiteOpensTheHomePageAndStaysLit)
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
}

TEST_F(LinksTest, HelpWithTheFileAbsentChangesNothing)
{
    const QString folder = QCoreApplication::applicationDirPath();
    const QString chm = folder + QStringLiteral("/flipreel.chm");
    ASSERT_FALSE(QFile::exists(chm));
    ASSERT_FALSE(QFile::exists(folder + QStringLiteral("/help/index.html")));
    form->LabCap_Click(2);

    for (bool withViewer : { true, false }) {
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
        EXPECT_EQ(ModTab::CurrentTab, 2);
        EXPECT_TRUE(form->LabLinks[1]->font().bold());
    }
}

TEST_F(LinksTest, AboutShowsTheSameFreshWindowEveryTime)
{
    onModal = [this](QDialog& dialog) {
        ++modals;
        auto* about = qobject_cast<FrmAbout*>(&dialog);
        EXPECT_NE(about, nullptr);
        if (!about)
            return int(QDialog::Rejected);
        EXPECT_TRUE(about->isModal());
        EXPECT_TRUE(about->isVisible());
        EXPECT_EQ(about->parentWidget(), form.get());
        seen.push_back(Look(*about));
        // A change made while it is open must not survive its closing.
        about->Label1->setText(QStringLiteral("changed"));
        about->move(about->pos() + QPoint(40, 40));
        about->reject();
        return int(QDialog::Rejected);
    };
    ClickLink(2);
    ClickLink(2);
    form->LabLinks_Click(2);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].caption, QStringLiteral("About Flipreel 1.30"));
    EXPECT_EQ(seen[0].label1, QStringLiteral("Flipreel"));
    EXPECT_EQ(seen[0].label2, QStringLiteral("VER   1.30"));
    EXPECT_EQ(seen[1], seen[0]);
    EXPECT_EQ(seen[2], seen[0]);
    EXPECT_TRUE(opened.empty());
}

TEST_F(LinksTest, AboutWindowDesign)
{
    FrmAbout about(form.get());
    EXPECT_EQ(about.size(), QSize(448, 330));
    EXPECT_EQ(about.minimumSize(), about.maximumSize()); // not resizable
    const Qt::WindowFlags flags = about.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);

    EXPECT_EQ(about.Image1->geometry(), QRect(16, 16, 180, 184));
    EXPECT_EQ(about.Image1->Picture().size(), QSize(180, 184));
    EXPECT_EQ(about.Label1->pos(), QPoint(92, 56));
    EXPECT_EQ(about.Label2->pos(), QPoint(212, 84));
    for (const QLabel* label : { about.Label1, about.Label2 }) {
        EXPECT_TRUE(label->font().bold());
        EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 15.0);
        EXPECT_EQ(label->size(), label->sizeHint()); // sized to its text
    }
    EXPECT_EQ(Design::TextColor(about.Label1), Rgb(255, 0, 0));
    EXPECT_EQ(Design::TextColor(about.Label2), Rgb(128, 128, 255));

    // White behind the background picture, drawn from the top-left corner and
    // cut off at the right and bottom; compared where no control lies.
    const QImage picture = Artwork::PictureImage(QStringLiteral("about-background"));
    ASSERT_EQ(picture.size(), QSize(450, 338));
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
    EXPECT_GT(compared, 448 * 330 / 2);
    EXPECT_GT(coloured, compared / 4); // the picture is not plain white
    EXPECT_EQ(differ, 0);
}

TEST_F(LinksTest, AboutIsCentredOnTheMainWindow)
{
    form->move(40, 30);
    QPoint offset;
    onModal = [&](QDialog& dialog) {
        offset = dialog.geometry().center() - form->geometry().center();
        dialog.reject();
        return int(QDialog::Rejected);
    };
    form->LabLinks_Click(2);
    EXPECT_LE(std::abs(offset.x()), 1);
    EXPECT_LE(std::abs(offset.y()), 1);
}

TEST_F(LinksTest, OtherIndexesDoNothing)
{
    for (int index : { -1, 3, 100 })
        form->LabLinks_Click(index);
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(modals, 0);
}

// ---- Choosing what a help click opens ----

class HelpDocumentTest : public ::testing::Test {
protected:
    void Put(const QString& relative)
    {
        QDir(dir.path()).mkpath(QFileInfo(dir.filePath(relative)).path());
        QFile file(dir.filePath(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    QString Chm() const { return dir.path() + QStringLiteral("/flipreel.chm"); }
    QString Html() const { return dir.path() + QStringLiteral("/help/index.html"); }
    QTemporaryDir dir;
};

TEST_F(HelpDocumentTest, CompiledFileWhereItCanBeShownElseThePages)
{
    // Nothing there: the compiled file's path all the same.
    EXPECT_EQ(ModLinks::HelpDocument(dir.path(), true), Chm());
    EXPECT_EQ(ModLinks::HelpDocument(dir.path(), false), Chm());

    Put(QStringLiteral("flipreel.chm"));
    EXPECT_EQ(ModLinks::HelpDocument(dir.path(), true), Chm());
    EXPECT_EQ(ModLinks::HelpDocument(dir.path(), false), Chm()); // nothing better to offer

    Put(QStringLiteral("help/index.html"));
    EXPECT_EQ(ModLinks::HelpDocument(dir.path(), true), Chm());
    EXPECT_EQ(ModLinks::HelpDocument(dir.path(), false), Html());

    QFile::remove(Chm());
    EXPECT_EQ(ModLinks::HelpDocument(dir.path(), true), Html());
}

TEST_F(HelpDocumentTest, AFolderNamedLikeTheHelpFileIsNotIt)
{
    QDir(dir.path()).mkdir(QStringLiteral("flipreel.chm"));
    Put(QStringLiteral("help/index.html"));
    EXPECT_EQ(ModLinks::HelpDocument(dir.path(), true), Html());
}

TEST(HelpPathTest, FolderAndNameAreJoinedAsTheyStand)
{
    EXPECT_EQ(ModLinks::HelpFilePath(QStringLiteral("/opt/flipreel")),
        QStringLiteral("/opt/flipreel/flipreel.chm"));
    // At the root the separator doubles, and the desktop gets it so.
    EXPECT_EQ(ModLinks::HelpFilePath(QStringLiteral("/")), QStringLiteral("//flipreel.chm"));
    const QUrl root = ModLinks::LocalFileUrl(QStringLiteral("//flipreel.chm"));
    EXPECT_TRUE(root.isValid());
    EXPECT_TRUE(root.host().isEmpty()); // not a host called flipreel.chm
    EXPECT_EQ(root.toLocalFile(), QStringLiteral("//flipreel.chm"));
}

TEST(HelpPathTest, FileAddressesKeepUnusualNames)
{
    for (const QString& path :
        { QStringLiteral("/home/ann/My Apps/flipreel.chm"), QStringLiteral("/tmp/100%/#1?/flipreel.chm"),
            QStringLiteral("/opt/\u00fcbersicht/\u52a8\u753b/flipreel.chm") }) {
        const QUrl url = ModLinks::LocalFileUrl(path);
        EXPECT_TRUE(url.isValid()) << path.toStdString();
        EXPECT_TRUE(url.isLocalFile()) << path.toStdString();
        EXPECT_EQ(url.toLocalFile(), path);
        EXPECT_EQ(QUrl(url.toString()).toLocalFile(), path) << url.toString().toStdString();
    }
}

} // namespace
