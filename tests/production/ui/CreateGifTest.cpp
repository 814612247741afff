// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/OutputSize.h"
#include "production/ModFold.h"
#include "support/FormFixture.h"
#include "support/FullDisk.h"
#include "support/GifAnimation.h"
#include "support/ListViews.h"
#include "ui/ListRows.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

namespace {

constexpr ColorValue kRed = Rgb(255, 0, 0);
constexpr ColorValue kYellow = Rgb(255, 255, 0);
constexpr ColorValue kFrameLine = Rgb(168, 168, 168);
constexpr ColorValue kBar = Rgb(0, 0, 192);

std::string Hex(ColorValue c) { return QStringLiteral("&H%1").arg(c, 6, 16, QLatin1Char('0')).toStdString(); }

class CreateGifTest : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        previousDir = QDir::currentPath();
        QDir::setCurrent(dir.path());
    }
    void TearDown() override
    {
        QDir::setCurrent(previousDir);
        FormFixture::TearDown();
    }

    // A picture on disk and its rows in both lists, as adding it would leave them.
    void AddPicture(const QString& name, QSize size, QColor color, const QString& playTime = QStringLiteral("1000"))
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(color);
        ASSERT_TRUE(image.save(dir.filePath(name)));
        Named<QLineEdit>(form->Settings(), "txtMS")->setText(playTime);
        form->Pictures().AddPictureFile(dir.filePath(name), QString());
        form->Pictures().RefreshListControls();
    }
    void Prepare(int w, int h)
    {
        AddPicture(QStringLiteral("a.png"), {w, h}, Qt::red, QStringLiteral("125"));
        AddPicture(QStringLiteral("b.png"), {w + 4, h + 2}, Qt::blue, QStringLiteral("135"));
        Named<QLineEdit>(form->Settings(), "txtW")->setText(QString::number(w));
        Named<QLineEdit>(form->Settings(), "txtH")->setText(QString::number(h));
        Named<QLineEdit>(form->Create(), "txtGIF")->setText(dir.filePath(QStringLiteral("out.gif")));
    }
    // An output file from before the run.
    void WriteOldOutput(const QByteArray& bytes)
    {
        QFile file(Named<QLineEdit>(form->Create(), "txtGIF")->text());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray Output() const
    {
        QFile file(Named<QLineEdit>(form->Create(), "txtGIF")->text());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool Idle() const
    {
        return !QApplication::overrideCursor() && Named<QPushButton>(form->Create(), "cmdCreateGIF")->isEnabled()
            && Named<PixelSurface>(form->Create(), "picPercent")->isHidden()
            && Named<ImageControl>(form->Create(), "imgCreate(0)")->Picture().cacheKey()
            == Named<ImageControl>(form->Create(), "imgCreate(1)")->Picture().cacheKey();
    }
    // Run folders left in this test's own temporary folder.
    QStringList RunFolders() const
    {
        const QStringList folders = ModFold::TemporaryFolderCandidates(QCoreApplication::applicationDirPath());
        EXPECT_EQ(folders.size(), 1) << "the tests set a temporary folder per process";
        return QDir(folders.value(0)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir;
    QString previousDir;
};

TEST_F(CreateGifTest, TheNameIsCheckedFirstThenTheSizeAndNothingStarts)
{
    Prepare(8, 8);
    Named<QLineEdit>(form->Create(), "txtGIF")->setText(QString());
    Named<QLineEdit>(form->Settings(), "txtW")->setText(QString());
    Named<QLineEdit>(form->Settings(), "txtH")->setText(QString());
    form->Create().cmdCreateGIF_Click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("Please enter a GIF file name to create."));
    EXPECT_EQ(messages[0].icon, Messages::Icon::Information);

    messages.clear();
    Named<QLineEdit>(form->Create(), "txtGIF")->setText(QStringLiteral("a.gi"));
    Named<QLineEdit>(form->Settings(), "txtW")->setText(QStringLiteral("8"));
    Named<QLineEdit>(form->Settings(), "txtH")->setText(QStringLiteral("8"));
    form->Create().cmdCreateGIF_Click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, QStringLiteral("Please enter a GIF file name to create."));

    const std::pair<const char*, QString> sizes[] = {
        {"", OutputSize::EmptyMessage()}, {"4", OutputSize::TooSmallMessage()}, {"2001", OutputSize::TooBigMessage()}};
    Named<QLineEdit>(form->Create(), "txtGIF")->setText(QStringLiteral("a.gif"));
    for (const auto& [width, message] : sizes) {
        messages.clear();
        Named<QLineEdit>(form->Settings(), "txtW")->setText(QLatin1String(width));
        form->Create().cmdCreateGIF_Click();
        ASSERT_EQ(messages.size(), 1u) << width;
        EXPECT_EQ(messages[0].text, message);
        EXPECT_EQ(messages[0].icon, Messages::Icon::Error);
        EXPECT_TRUE(Idle());
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("a.gif"))));

    messages.clear();
    Named<QPushButton>(form->Create(), "cmdCreateGIF")->setEnabled(false);
    Named<QLineEdit>(form->Settings(), "txtW")->setText(QStringLiteral("8"));
    form->Create().imgCreate_Click(0);
    EXPECT_TRUE(messages.empty()) << "a disabled button does nothing";
}

TEST_F(CreateGifTest, FiveCharacterPathAndBothSizeLimitsAreAccepted)
{
    Prepare(8, 8);
    const std::pair<int, int> sizes[] = {{5, 2000}, {2000, 5}};
    for (const auto& [w, h] : sizes) {
        messages.clear();
        Named<QLineEdit>(form->Create(), "txtGIF")->setText(QStringLiteral("a.gif")); // relative: the working folder
        Named<QLineEdit>(form->Settings(), "txtW")->setText(QString::number(w));
        Named<QLineEdit>(form->Settings(), "txtH")->setText(QString::number(h));
        form->Create().imgCreate_Click(0);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, QStringLiteral("Animated File created successfully!\r\na.gif"));
        const testing_imaging::Animation gif = testing_imaging::DecodeAnimation(dir.filePath(QStringLiteral("a.gif")));
        EXPECT_EQ(gif.width, w);
        EXPECT_EQ(gif.height, h);
    }
}

TEST_F(CreateGifTest, ARunWritesTheGifRewritesTheLoopFieldAndReturnsToIdle)
{
    Prepare(16, 12);
    AddPicture(QStringLiteral("c.png"), {16, 12}, Qt::green, QStringLiteral("1000"));
    Named<QLineEdit>(form->Settings(), "txtLoop")->setText(QStringLiteral(" 12 "));
    const QString out = Named<QLineEdit>(form->Create(), "txtGIF")->text();

    // Looks taken from inside the run, when it lets events through.
    bool busySeen = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, form.get(), [&] {
        if (busySeen || !form->Create().CreationUnderway())
            return;
        busySeen = true;
        const QCursor* cursor = QApplication::overrideCursor();
        EXPECT_TRUE(cursor && cursor->shape() == Qt::WaitCursor);
        EXPECT_FALSE(Named<QPushButton>(form->Create(), "cmdCreateGIF")->isEnabled());
        EXPECT_EQ(Named<ImageControl>(form->Create(), "imgCreate(0)")->Picture().cacheKey(),
                  Named<ImageControl>(form->Create(), "imgCreate(3)")->Picture().cacheKey());
        EXPECT_FALSE(Named<PixelSurface>(form->Create(), "picPercent")->isHidden());
        // A second start while busy, even with the button enabled again by an
        // added picture, must not run a second time.
        Named<QPushButton>(form->Create(), "cmdCreateGIF")->setEnabled(true);
        form->Create().imgCreate_Click(0);
    });
    probe.start(0);

    Messages::SetShowHandler([&](const Messages::Message& m) {
        messages.push_back(m);
        EXPECT_FALSE(QApplication::overrideCursor()) << "pointer restored before the message";
        EXPECT_FALSE(Named<PixelSurface>(form->Create(), "picPercent")->isHidden());
        EXPECT_EQ(Named<QLabel>(form->Create(), "LabPercent")->text(), QStringLiteral("100%"));
    });
    form->Create().imgCreate_Click(0);
    probe.stop();

    EXPECT_TRUE(busySeen);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icon, Messages::Icon::Information);
    const QStringList lines = messages[0].text.split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines, (QStringList{QStringLiteral("Animated File created successfully!"), out}));
    EXPECT_EQ(Named<QLineEdit>(form->Settings(), "txtLoop")->text(), QStringLiteral("12"));
    EXPECT_TRUE(Idle());
    EXPECT_TRUE(RunFolders().isEmpty()) << RunFolders().join(u' ').toStdString();

    const testing_imaging::Animation gif = testing_imaging::DecodeAnimation(out);
    ASSERT_TRUE(gif.ok) << gif.error.toStdString();
    EXPECT_EQ(gif.delays, (QVector<int>{12, 14, 100}));
    EXPECT_EQ(gif.loopCount, 12);
    EXPECT_EQ(QSize(gif.width, gif.height), QSize(16, 12));
    QStringList paths;
    for (const char* name : {"a.png", "b.png", "c.png"})
        paths << dir.filePath(QLatin1String(name));
    EXPECT_LT(testing_imaging::WorstFrameDifference(gif, testing_imaging::ScaledPictures(paths, {16, 12})), 6.0);
}

TEST_F(CreateGifTest, ARunOnTheWindowsEngineLeavesNoPictureInIt)
{
    form->Create().CreateThreads = 1; // every frame on the window's engine
    Prepare(16, 12);
    form->Create().imgCreate_Click(0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icon, Messages::Icon::Information);
    EXPECT_EQ(form->wp.ImageWidth(), 0);
    EXPECT_EQ(form->wp.ImageHeight(), 0);
}

TEST_F(CreateGifTest, ListEditsDuringTheRunDoNotChangeIt)
{
    Prepare(8, 8);
    AddPicture(QStringLiteral("c.png"), {8, 8}, Qt::green, QStringLiteral("1000"));
    bool edited = false;
    QTimer editor;
    QObject::connect(&editor, &QTimer::timeout, form.get(), [&] {
        if (edited || !form->Create().CreationUnderway())
            return;
        edited = true;
        form->Doc().SetPlayTime(2, PlayTime::FromText(QStringLiteral("990")));
        form->Doc().Remove(3);
    });
    editor.start(0);
    form->Create().imgCreate_Click(0);
    editor.stop();
    ASSERT_TRUE(edited);
    const testing_imaging::Animation gif =
        testing_imaging::DecodeAnimation(Named<QLineEdit>(form->Create(), "txtGIF")->text());
    EXPECT_EQ(gif.delays, (QVector<int>{12, 14, 100})) << "the lists as they were at the start";
}

TEST_F(CreateGifTest, AFailingRunShowsTheReasonRestoresIdleAndKeepsTheOldFile)
{
    Prepare(8, 8);
    AddPicture(QStringLiteral("c.png"), {8, 8}, Qt::green);
    QFile existing(Named<QLineEdit>(form->Create(), "txtGIF")->text());
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("old");
    existing.close();
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("b.png"))));

    form->Create().imgCreate_Click(0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icon, Messages::Icon::Error);
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("Frame 2")));
    EXPECT_TRUE(messages[0].text.contains(dir.filePath(QStringLiteral("b.png"))));
    EXPECT_TRUE(Idle());
    EXPECT_TRUE(RunFolders().isEmpty());
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), QByteArray("old"));
}

TEST_F(CreateGifTest, AFullDiskOrAnOutputThatIsNoFileIsReportedAndNothingIsLost)
{
    Prepare(8, 8);
    const QString out = Named<QLineEdit>(form->Create(), "txtGIF")->text();
    QFile existing(out);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("old");
    existing.close();
    {
        FullDisk disk("out.gif");
        form->Create().imgCreate_Click(0);
    }
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icon, Messages::Icon::Error);
    EXPECT_TRUE(messages[0].text.endsWith(QStringLiteral("No space left on device.")))
        << messages[0].text.toStdString();
    EXPECT_TRUE(Idle());
    EXPECT_TRUE(RunFolders().isEmpty());
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), QByteArray("old"));

    // A FIFO is refused before anything starts, and stays a FIFO.
    messages.clear();
    const QString fifo = dir.filePath(QStringLiteral("pipe.gif"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    Named<QLineEdit>(form->Create(), "txtGIF")->setText(fifo);
    form->Create().imgCreate_Click(0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              QStringLiteral("The GIF file \"%1\" cannot be written: it is not a regular file.").arg(fifo));
    EXPECT_EQ(messages[0].icon, Messages::Icon::Error);
    EXPECT_TRUE(Idle());
    EXPECT_TRUE(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
}

TEST_F(CreateGifTest, PastedPlayTimeOrLoopTextIsRefusedBeforeTheRun)
{
    Prepare(8, 8);
    form->Doc().SetPlayTime(2, PlayTime::FromText(QStringLiteral("1O0")));
    form->Create().imgCreate_Click(0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].icon, Messages::Icon::Error);
    EXPECT_TRUE(messages[0].text.startsWith(QStringLiteral("Frame 2 has the play time \"1O0\"")));

    messages.clear();
    form->Doc().SetPlayTime(2, PlayTime::FromText(QStringLiteral("100")));
    Named<QLineEdit>(form->Settings(), "txtLoop")->setText(QStringLiteral("-3"));
    form->Create().imgCreate_Click(0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.contains(QStringLiteral("\"-3\"")));
    EXPECT_TRUE(Idle());
    EXPECT_FALSE(QFile::exists(Named<QLineEdit>(form->Create(), "txtGIF")->text()));
}

TEST_F(CreateGifTest, ClosingTheWindowStopsTheRunWithoutFileOrMessageThenCloses)
{
    Prepare(8, 8);
    AddPicture(QStringLiteral("c.png"), {8, 8}, Qt::green);
    // Closed once the first frame's progress is on screen: no frame follows.
    int frames = 0;
    QObject::connect(&form->Create(), &CreatePage::ProgressShown, form.get(), [&](double percent) {
        if (percent >= 0 && ++frames == 1)
            form->close();
    });
    int ended = 0;
    QObject::connect(&form->Create(), &CreatePage::CreationEnded, form.get(), [&] { ++ended; });
    form->Create().imgCreate_Click(0);
    EXPECT_EQ(frames, 1) << "no frame after the close";
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(Idle());
    EXPECT_FALSE(QFile::exists(Named<QLineEdit>(form->Create(), "txtGIF")->text()));
    EXPECT_TRUE(RunFolders().isEmpty());
    EXPECT_TRUE(form->isVisible()) << "the close waits for the run";
    for (QDeadlineTimer deadline(5000); form->isVisible() && !deadline.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_FALSE(form->isVisible()) << "and then the window closes";
}

TEST_F(CreateGifTest, EscapeStopsTheRunKeepingTheOldOutputAndNoFrameFiles)
{
    Prepare(8, 8);
    AddPicture(QStringLiteral("c.png"), {8, 8}, Qt::green);
    WriteOldOutput("the old output");
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    int frames = 0;
    auto pressEsc = QObject::connect(&form->Create(), &CreatePage::ProgressShown, form.get(), [&](double percent) {
        if (percent >= 0 && ++frames == 1)
            QTest::keyClick(form.get(), Qt::Key_Escape);
    });
    form->Create().imgCreate_Click(0);
    QObject::disconnect(pressEsc);
    EXPECT_EQ(frames, 1) << "no frame after Esc";
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Output(), QByteArray("the old output"));
    EXPECT_TRUE(RunFolders().isEmpty());
    EXPECT_TRUE(form->isVisible());

    // Esc belongs to that run only: the next one runs to its end.
    form->Create().imgCreate_Click(0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(testing_imaging::DecodeAnimation(Named<QLineEdit>(form->Create(), "txtGIF")->text()).delays.size(), 3);
}

TEST_F(CreateGifTest, ProgressTextColourAndBar)
{
    PixelSurface* box = Named<PixelSurface>(form->Create(), "picPercent");
    const int w = box->ScaleWidth();
    const int h = box->ScaleHeight();
    ASSERT_EQ(QSize(w, h), QSize(277, 21));
    const ColorValue back = box->BackColor();
    // Centred to within half a pixel each way.
    auto centred = [&] {
        EXPECT_LE(std::abs(2 * Named<QLabel>(form->Create(), "LabPercent")->x()
                           - (w - Named<QLabel>(form->Create(), "LabPercent")->width())),
                  1);
        EXPECT_LE(std::abs(2 * Named<QLabel>(form->Create(), "LabPercent")->y()
                           - (h - Named<QLabel>(form->Create(), "LabPercent")->height())),
                  1);
    };

    form->Create().ShowProgress(-1);
    EXPECT_FALSE(box->isHidden()) << "shown (on its page)";
    EXPECT_EQ(Named<QLabel>(form->Create(), "LabPercent")->text(), QStringLiteral("Start Creating..."));
    EXPECT_EQ(Design::TextColor(Named<QLabel>(form->Create(), "LabPercent")), kRed);
    centred();
    EXPECT_EQ(box->PixelAt(0, 0), kFrameLine) << Hex(box->PixelAt(0, 0));
    EXPECT_EQ(box->PixelAt(w - 1, h - 1), kFrameLine);
    EXPECT_EQ(box->PixelAt(1, 1), back) << "gap between frame and bar";
    EXPECT_EQ(box->PixelAt(3, h - 3), kBar) << "1 percent of 274 reaches x = 3";
    EXPECT_EQ(box->PixelAt(4, 2), back) << Hex(box->PixelAt(4, 2));

    form->Create().ShowProgress(50);
    EXPECT_EQ(Named<QLabel>(form->Create(), "LabPercent")->text(), QStringLiteral("50%"));
    EXPECT_EQ(Design::TextColor(Named<QLabel>(form->Create(), "LabPercent")), kRed);
    centred();
    EXPECT_EQ(box->PixelAt(137, 10), kBar);
    EXPECT_EQ(box->PixelAt(138, 10), back);

    form->Create().ShowProgress(200.0 / 3.0);
    EXPECT_EQ(Named<QLabel>(form->Create(), "LabPercent")->text(), QStringLiteral("67%"));
    EXPECT_EQ(Design::TextColor(Named<QLabel>(form->Create(), "LabPercent")), kYellow);
    form->Create().ShowProgress(62.5);
    EXPECT_EQ(Named<QLabel>(form->Create(), "LabPercent")->text(), QStringLiteral("62%")) << "half to even";
    form->Create().ShowProgress(60);
    EXPECT_EQ(Design::TextColor(Named<QLabel>(form->Create(), "LabPercent")), kYellow)
        << "stays yellow until the next start";

    form->Create().ShowProgress(100);
    EXPECT_EQ(Named<QLabel>(form->Create(), "LabPercent")->text(), QStringLiteral("100%"));
    EXPECT_EQ(box->PixelAt(w - 3, h - 3), kBar);
    EXPECT_EQ(box->PixelAt(w - 2, 10), back);
    EXPECT_EQ(box->PixelAt(w - 1, 10), kFrameLine);

    form->Create().ShowProgress(-1);
    EXPECT_EQ(Design::TextColor(Named<QLabel>(form->Create(), "LabPercent")), kRed);
    EXPECT_EQ(box->PixelAt(137, 10), back) << "a new run clears the box";
    EXPECT_EQ(box->PixelAt(3, 10), kBar);
}

// What the progress box and the create button show each time they are painted.
class PaintProbe final : public QObject {
public:
    explicit PaintProbe(FrmGif& form)
        : form_(form)
    {
        Named<QLabel>(form.Create(), "LabPercent")->installEventFilter(this);
        Named<ImageControl>(form.Create(), "imgCreate(0)")->installEventFilter(this);
    }
    QStringList painted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted << (watched == Named<QLabel>(form_.Create(), "LabPercent")
                            ? Named<QLabel>(form_.Create(), "LabPercent")->text()
                            : QString::number(
                                Named<ImageControl>(form_.Create(), "imgCreate(0)")->Picture().cacheKey()));
        return false;
    }

private:
    FrmGif& form_;
};

TEST_F(CreateGifTest, StartStateIsPaintedBeforeTheFirstFrame)
{
    Prepare(8, 8);
    form->LabCap_Click(4);
    QCoreApplication::processEvents(); // the page as it was before the run
    PaintProbe probe(*form);
    form->Create().imgCreate_Click(0);
    ASSERT_GE(probe.painted.size(), 2);
    EXPECT_EQ(
        QSet<QString>(probe.painted.begin(), probe.painted.begin() + 2),
        QSet<QString>({QStringLiteral("Start Creating..."),
                       QString::number(Named<ImageControl>(form->Create(), "imgCreate(3)")->Picture().cacheKey())}))
        << probe.painted.join(u',').toStdString();
}

TEST_F(CreateGifTest, TwoFramesShowFiftyRedThenHundredYellow)
{
    Prepare(8, 8);
    // Every time the box is drawn, in order: the start, each frame, the end.
    std::vector<std::pair<QString, ColorValue>> seen;
    QObject::connect(&form->Create(), &CreatePage::ProgressShown, form.get(), [&] {
        seen.emplace_back(Named<QLabel>(form->Create(), "LabPercent")->text(),
                          Design::TextColor(Named<QLabel>(form->Create(), "LabPercent")));
    });
    form->Create().imgCreate_Click(0);
    const std::vector<std::pair<QString, ColorValue>> expected = {{QStringLiteral("Start Creating..."), kRed},
                                                                  {QStringLiteral("50%"), kRed},
                                                                  {QStringLiteral("100%"), kYellow},
                                                                  {QStringLiteral("100%"), kYellow}};
    EXPECT_EQ(seen, expected);
}

TEST_F(CreateGifTest, TheSaveDialogFillsTheFieldAndCancelKeepsIt)
{
    saveAnswers.push_back(QStringLiteral("/pics/out")); // no extension added
    QTest::mouseClick(Named<QLineEdit>(form->Create(), "txtGIF"), Qt::LeftButton);
    ASSERT_EQ(saveRequests.size(), 1u);
    EXPECT_EQ(Named<QLineEdit>(form->Create(), "txtGIF")->text(), QStringLiteral("/pics/out"));
    const Dialogs::SaveRequest& r = saveRequests[0];
    EXPECT_EQ(r.title, QStringLiteral("Save as GIF file"));
    EXPECT_EQ(r.filter, QStringLiteral("Animated GIF Files(*.gif)|*.gif"));
    EXPECT_EQ(r.initialDir, QCoreApplication::applicationDirPath());
    EXPECT_TRUE(r.overwritePrompt);

    QTest::mouseClick(Named<QPushButton>(form->Create(), "cmdOpen"), Qt::LeftButton); // empty queue: cancelled
    EXPECT_EQ(saveRequests.size(), 2u);
    EXPECT_EQ(Named<QLineEdit>(form->Create(), "txtGIF")->text(), QStringLiteral("/pics/out"));
}

} // namespace
