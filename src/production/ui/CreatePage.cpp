// SPDX-License-Identifier: GPL-3.0-or-later
// Step 5 of the main window: the creation run, its progress box and the choice
// of the output file.
#include "production/ui/CreatePage.h"

#include "common/Rounding.h"
#include "common/SaveFolder.h"
#include "imaging/ImageEngine.h"
#include "production/CreationCheck.h"
#include "production/CreationRules.h"
#include "production/CreationRun.h"
#include "production/ModFold.h"
#include "production/RunFolder.h"
#include "ui/BusyHost.h"
#include "ui/Dialogs.h"
#include "ui/DocumentModel.h"
#include "ui/Messages.h"
#include "ui/OutputSettings.h"
#include "ui/PageControls.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include <functional>

namespace {

constexpr ColorValue kFrameLineColor = Rgb(168, 168, 168);
constexpr ColorValue kBarColor = Rgb(0, 0, 192);
constexpr ColorValue kTextRed = Rgb(255, 0, 0);
constexpr ColorValue kTextYellow = Rgb(255, 255, 0);
// Above this percentage the text turns yellow, to stay readable on the bar.
constexpr double kYellowAbove = 60.0;

// A left-button click on a widget that has no clicked signal of its own (the
// read-only file field).
class ClickFilter final : public QObject {
public:
    ClickFilter(QWidget* watched, std::function<void()> onClick)
        : QObject(watched)
        , onClick_(std::move(onClick))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const auto* widget = static_cast<QWidget*>(watched);
            if (mouse->button() == Qt::LeftButton && widget->rect().contains(mouse->position().toPoint()))
                onClick_();
        }
        return false;
    }

private:
    std::function<void()> onClick_;
};

} // namespace

CreatePage::CreatePage(const DocumentModel& document, OutputSettings& settings, BusyHost& host, ImageEngine& engine,
                       QWidget* parent)
    : QWidget(parent)
    , document_(document)
    , settings_(settings)
    , host_(host)
    , wp(engine)
{
    Build();
    Wire();
}

void CreatePage::Build()
{
    QWidget* page = this;
    Label10 = Design::Label(
        page,
        QCoreApplication::translate("FrmGif",
                                    "Enter a file name to save the created GIF. Click [Create Animated GIF "
                                    "Now!] to start creating your GIF."),
        300, 180, PageControls::Arial9(), PageControls::kInstructionColor);
    Label7 = Design::Label(page, QCoreApplication::translate("FrmGif", "Animated GIF file name:"), 420, 840,
                           PageControls::Arial9(), PageControls::kInstructionColor);

    txtGIF = new QLineEdit(page);
    txtGIF->setObjectName(QStringLiteral("txtGIF"));
    txtGIF->setReadOnly(true);
    Design::Place(txtGIF, 420, 1140, 6795, 255);

    cmdOpen = new QPushButton(QStringLiteral("..."), page);
    cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    cmdOpen->setFont(Design::Font(QStringLiteral("Arial"), 9.75, true));
    Design::Place(cmdOpen, 7260, 1125, 495, 270);
    // Named for those who hear the window rather than see it.
    txtGIF->setAccessibleName(Label7->text());
    cmdOpen->setAccessibleName(QCoreApplication::translate("FrmGif", "Choose the GIF file name"));

    const std::array<const char*, 4> looks = {"create-normal", "create-normal", "create-hot", "create-busy"};
    for (std::size_t i = 0; i < imgCreate.size(); ++i) {
        imgCreate[i] = PageControls::PictureButton(page, nullptr, looks[i], 420, 1740, 4905, 690);
        imgCreate[i]->setObjectName(QStringLiteral("imgCreate(%1)").arg(i));
        imgCreate[i]->setVisible(i == 0);
    }
    imgCreate[0]->raise();

    cmdCreateGIF = PageControls::HiddenCommand(page, "cmdCreateGIF",
                                               QCoreApplication::translate("FrmGif", "Create Animated GIF Now!"), 420,
                                               1920, 2955, 315, false);
    cmdCreateGIF->setEnabled(false);

    picPercent = new PixelSurface(page);
    picPercent->setObjectName(QStringLiteral("picPercent"));
    picPercent->SetBackColor(Design::SystemWindowBackground());
    Design::Place(picPercent, 5580, 1920, 4155, 315);
    picPercent->Cls();
    picPercent->hide();
    LabPercent = Design::Label(picPercent, QStringLiteral("0%"), 2040, 60, PageControls::Arial9(), Rgb(255, 0, 0));
    LabPercent->setObjectName(QStringLiteral("LabPercent"));

    // Every control carries its design name, the captions too.
    Label10->setObjectName(QStringLiteral("Label10"));
    Label7->setObjectName(QStringLiteral("Label7"));
}

void CreatePage::Wire()
{
    connect(imgCreate[0], &ImageControl::mouseMoved, this, [this] { imgCreate_MouseMove(0); });
    connect(imgCreate[0], &ImageControl::clicked, this, [this] { imgCreate_Click(0); });
    connect(cmdCreateGIF, &QPushButton::clicked, this, &CreatePage::cmdCreateGIF_Click);
    connect(cmdOpen, &QPushButton::clicked, this, &CreatePage::cmdOpen_Click);
    new ClickFilter(txtGIF, [this] { txtGIF_Click(); });
}

void CreatePage::imgCreate_Click(int /*index*/) { cmdCreateGIF_Click(); }

void CreatePage::cmdCreateGIF_Click()
{
    // 1. The disabled button is the busy flag. Adding pictures during a run
    //    enables it again, so a run under way also refuses a second start.
    if (!cmdCreateGIF->isEnabled() || creating_)
        return;

    // 2.-4. The output path (unchanged), the size rule, the output target,
    //    and every frame's path and play time now: edits of the lists while
    //    the run lets events through do not mix into this run. Pasted loop
    //    text is refused before the user waits for every frame; the field is
    //    read again (and rewritten) once the frames are done.
    CreationRequest request;
    request.outputPath = txtGIF->text();
    request.widthText = settings_.WidthText();
    request.heightText = settings_.HeightText();
    request.loopText = settings_.LoopText();
    const int count = document_.Rows().Count();
    request.frames.reserve(count);
    for (int i = 1; i <= count; ++i)
        request.frames.push_back({document_.Rows().PicturePath(i), document_.Rows().FramePlayTime(i),
                                  document_.Rows().Frame(i)->playTime.text});
    CreationCheck check = CheckCreation(request);
    if (!check.Ok()) {
        if (check.refusal == CreationCheck::Refusal::NoFileName)
            Messages::Info(window(), check.message);
        else
            Messages::Error(window(), check.message);
        return;
    }
    const QString outputPath = request.outputPath;

    // 5. The temporary folder, with a subfolder of this run's own.
    RunFolder folder(ModFold::TemporaryFolderCandidates(QCoreApplication::applicationDirPath()));
    if (!folder.IsValid()) {
        Messages::Error(window(),
                        QCoreApplication::translate("FrmGif", "The GIF cannot be created: %1.").arg(folder.Error()));
        return;
    }

    // 6. Progress box with "Start Creating...".
    ShowProgress(-1);

    // 7. Busy state. Closing the window now waits for the run to stop.
    const BusyHost::Scope busy(host_);
    creating_ = true;
    cancelRequested_ = false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool busyPointer = true;
    cmdCreateGIF->setEnabled(false);
    imgCreate[0]->TakePictureOf(*imgCreate[3]);
    // On screen before the first frame, which can take seconds: a repaint
    // runs no other handler, unlike letting events through here.
    picPercent->repaint();
    imgCreate[0]->repaint();

    auto restorePointer = [&busyPointer] {
        if (busyPointer)
            QApplication::restoreOverrideCursor();
        busyPointer = false;
    };
    auto leaveBusy = [&] {
        restorePointer();
        picPercent->hide();
        cmdCreateGIF->setEnabled(true);
        imgCreate[0]->TakePictureOf(*imgCreate[1]);
        creating_ = false;
        Q_EMIT CreationEnded();
    };

    CreationSettings settings = std::move(check.settings);
    settings.tempFolder = folder.Path();
    settings.threads = CreateThreads;
    // A frame can take seconds: the window keeps repainting meanwhile, while
    // clicks and keys wait for the frame to end as they always did.
    settings.whileWaiting = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    // Joining the frames lets events through between frames, so Esc and a close stop it there.
    settings.stopRequested = [this] {
        QCoreApplication::processEvents();
        return host_.IsClosing() || cancelRequested_;
    };
    // Frames are joined as they are converted, with the loop count the field
    // gives now; the field is read again once they are all there.
    settings.loopCount = CreationRules::LoopCountFromText(settings_.LoopText().trimmed());
    CreationRun run(wp, PGIF, std::move(settings));

    // 8. Every frame, with pending events let through after each.
    CreationResult result = run.ConvertFrames([this](double percent) {
        ShowProgress(percent);
        QCoreApplication::processEvents();
        return !host_.IsClosing() && !cancelRequested_;
    });
    // The engine lets go of the last frame it held: nothing reads it again
    // before the next run.
    wp.Clear();

    // 9.-13. The loop field is trimmed in place, then the frames are joined.
    if (result.Ok()) {
        settings_.TrimLoopText();
        const std::optional<qint16> loopCount = CreationRules::LoopCountFromText(settings_.LoopText());
        result = loopCount ? run.Assemble(*loopCount)
                           : CreationResult::Failure(CreationRules::LoopCountMessage(settings_.LoopText()));
    }

    if (!result.Ok()) {
        // Nothing of a failed run stays: frame files, pointer, button, box.
        run.RemoveFrameFiles();
        const bool stopped = result.status == CreationResult::Status::Cancelled;
        leaveBusy();
        if (!stopped)
            Messages::Error(window(), result.message);
        return;
    }

    // 14.
    ShowProgress(100);
    QCoreApplication::processEvents();
    restorePointer();

    // 15. A window that is closing shows no message; the file is complete.
    if (!host_.IsClosing())
        Messages::Info(window(), CreationRules::SuccessMessage(outputPath));

    // 16.
    run.RemoveFrameFiles();

    // 17.
    leaveBusy();
}

void CreatePage::ShowProgress(double percent)
{
    const double shownFor = percent;
    if (percent < 0) {
        Design::SetTextColor(LabPercent, kTextRed);
        Design::SetCaption(LabPercent, QCoreApplication::translate("FrmGif", "Start Creating..."));
        picPercent->show();
        picPercent->Cls();
        percent = 1;
    } else {
        // The whole percentage, an exact half to the even neighbour.
        Design::SetCaption(LabPercent, QStringLiteral("%1%").arg(RoundHalfEven(percent)));
        if (percent > kYellowAbove)
            Design::SetTextColor(LabPercent, kTextYellow);
    }
    const int width = picPercent->ScaleWidth();
    const int height = picPercent->ScaleHeight();
    LabPercent->move(int(RoundHalfEven((width - LabPercent->width()) / 2.0)),
                     int(RoundHalfEven((height - LabPercent->height()) / 2.0)));
    picPercent->Box(0, 0, width - 1, height - 1, kFrameLineColor);
    const double shown = qMin(percent, 100.0);
    picPercent->FillBox(2, 2, int(RoundHalfEven((width - 3) * shown / 100.0)), height - 3, kBarColor);
    Q_EMIT ProgressShown(shownFor);
}

void CreatePage::cmdOpen_Click()
{
    Dialogs::SaveRequest request;
    request.title = QCoreApplication::translate("FrmGif", "Save as GIF file");
    request.filter = QCoreApplication::translate("FrmGif", "Animated GIF Files(*.gif)|*.gif");
    request.initialDir = SaveFolder::StartFolder(QCoreApplication::applicationDirPath());
    request.overwritePrompt = true;
    // No default extension: a name without ".gif" is used as typed.
    if (const std::optional<QString> chosen = Dialogs::SaveFile(window(), request))
        txtGIF->setText(*chosen);
}

void CreatePage::txtGIF_Click() { cmdOpen_Click(); }

void CreatePage::imgCreate_MouseMove(int) { SetCreateHighlight(true); }

void CreatePage::SetCreateHighlight(bool on)
{
    // The picture is copied only when the look changes.
    if (on && !CreateHot) {
        CreateHot = true;
        imgCreate[0]->TakePictureOf(*imgCreate[2]);
    } else if (!on && CreateHot) {
        CreateHot = false;
        imgCreate[0]->TakePictureOf(*imgCreate[1]);
    }
}

void CreatePage::CancelRun()
{
    if (creating_)
        cancelRequested_ = true;
}

void CreatePage::SetCommandsEnabled(bool enabled) { cmdCreateGIF->setEnabled(enabled); }

PageControls::PictureCommands CreatePage::PictureCommands() const
{
    return {{imgCreate[0], QCoreApplication::translate("FrmGif", "Create the GIF"),
             [this] { return !PageControls::ShowsPictureOf(*imgCreate[0], *imgCreate[3]); }}};
}
