// SPDX-License-Identifier: GPL-3.0-or-later
// The window from the keyboard: picture buttons, step captions, links and the
// title bar's symbols in the Tab order (in the order they are seen: captions,
// the page, links, title bar) with accessible roles and names, Ctrl+1..5 for
// the steps, Delete in the picture list, Esc to stop a run or a preview load.
#include "app/FrmGif.h"

#include "lists/PicturesPage.h"
#include "preview/PreviewPage.h"
#include "production/ui/CreatePage.h"
#include "settings/FramesPage.h"
#include "ui/KeyActivation.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTreeView>

namespace {
// The controls of a page that Tab reaches, in the page's own order.
QList<QWidget*> TabbedControls(QWidget* page)
{
    QList<QWidget*> out;
    for (QWidget* w = page->nextInFocusChain(); w != page && page->isAncestorOf(w); w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus)
            out << w;
    return out;
}
} // namespace

void FrmGif::WireKeyboard()
{
    auto* keys = new KeyActivation(this);
    for (int i = 0; i < ModTab::TabCount; ++i) {
        ClickLabel* caption = LabCap[static_cast<std::size_t>(i)];
        keys->Attach(caption,
                     {caption->text(), QAccessible::PageTab, {}, {}, [this, i] { return Tabs().CurrentTab == i; }});
    }
    const PageControls::PictureCommands commands = PictureCommands();
    for (const PageControls::PictureCommand& command : commands)
        keys->Attach(command.picture, {command.name, QAccessible::Button, {}, command.available, {}});
    for (ClickLabel* link : LabLinks)
        keys->Attach(link, {link->text(), QAccessible::Link, {}, {}, {}});
    // The hot symbols show only under the pointer; the keyboard presses the
    // normal ones, which do what a click on the hot ones does.
    keys->Attach(imgMin, {tr("Minimize"), QAccessible::Button, [this] { imgMin2_Click(); }, {}, {}});
    keys->Attach(imgClose, {tr("Close"), QAccessible::Button, [this] { imgClose2_Click(); }, {}, {}});
    for (QPushButton* button : findChildren<QPushButton*>())
        keys->AttachEnter(button);

    // Tab goes the way the eye reads the window.
    QList<QWidget*> order(LabCap.begin(), LabCap.end());
    std::array<QList<QWidget*>, ModTab::TabCount> pageControls;
    for (std::size_t i = 0; i < picTabs.size(); ++i)
        order << (pageControls[i] = TabbedControls(picTabs[i]));
    order << QList<QWidget*>(LabLinks.begin(), LabLinks.end()) << imgMin << imgClose;
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    // Add pictures, not the links: a stray key press there opens a browser.
    commands.front().picture->setFocus();

    for (int i = 0; i < ModTab::TabCount; ++i) {
        auto* step = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)), this);
        connect(step, &QShortcut::activated, this, [this, i, controls = pageControls[static_cast<std::size_t>(i)]] {
            LabCap_Click(i);
            // Into the page it now shows.
            for (QWidget* control : controls)
                if (control->isVisible() && control->isEnabled()) {
                    control->setFocus(Qt::ShortcutFocusReason);
                    break;
                }
        });
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
