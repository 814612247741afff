// SPDX-License-Identifier: GPL-3.0-or-later
// The window from the keyboard: picture buttons, step captions and links in
// the Tab order with accessible names, Ctrl+1..5 for the steps, Delete in the
// picture list, Esc to stop a run or a preview load.
#include "app/FrmGif.h"

#include "app/KeyActivation.h"
#include "lists/PicturesPage.h"
#include "preview/PreviewPage.h"
#include "production/ui/CreatePage.h"
#include "settings/FramesPage.h"

#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTreeView>

void FrmGif::WireKeyboard()
{
    auto* keys = new KeyActivation(this);
    for (ClickLabel* caption : LabCap)
        keys->Attach(caption, caption->text());
    const std::pair<ImageControl*, const char*> buttons[] = {
        {imgMin2, QT_TR_NOOP("Minimize")},
        {imgClose2, QT_TR_NOOP("Close")},
        {Pictures().cmdAddImg, QT_TR_NOOP("Add pictures")},
        {Pictures().cmdDelImg, QT_TR_NOOP("Delete the checked pictures")},
        {Pictures().cmdUpImg, QT_TR_NOOP("Move the selected picture up")},
        {Pictures().cmdDownImg, QT_TR_NOOP("Move the selected picture down")},
        {Pictures().cmdPreviewImg, QT_TR_NOOP("Preview the selected picture")},
        {Frames().imgcmdProp, QT_TR_NOOP("Change the frame properties")},
        {Preview().imgcmdGo, QT_TR_NOOP("Go: play the preview")},
        {Preview().imgcmdStop, QT_TR_NOOP("Stop the preview")},
        {Create().imgCreate[0], QT_TR_NOOP("Create the GIF")},
    };
    for (const auto& [button, name] : buttons)
        keys->Attach(button, tr(name));
    for (ClickLabel* link : LabLinks)
        keys->Attach(link, link->text());

    for (int i = 0; i < 5; ++i) {
        auto* step = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)), this);
        connect(step, &QShortcut::activated, this, [this, i] { LabCap_Click(i); });
    }
    // Esc reaches the window while a run or a load lets events through.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { Escape_Press(); });
}

void FrmGif::Escape_Press()
{
    if (Create().CreationUnderway())
        Create().CancelRun();
    else
        Preview().CancelLoad();
}
