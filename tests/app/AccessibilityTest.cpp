// SPDX-License-Identifier: GPL-3.0-or-later
// What assistive technology is told about the window's drawn controls and fields.
#include "support/FormFixture.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

class AccessibilityTest : public FormFixture {
protected:
    static QAccessibleInterface* Of(QObject* object)
    {
        QAccessibleInterface* found = QAccessible::queryAccessibleInterface(object);
        EXPECT_NE(found, nullptr);
        return found;
    }
    static bool Pressable(QAccessibleInterface* control)
    {
        QAccessibleActionInterface* actions = control->actionInterface();
        return actions && actions->actionNames().contains(QAccessibleActionInterface::pressAction());
    }
};

TEST_F(AccessibilityTest, DrawnControlsHaveTheirRolesStatesAndPressAction)
{
    for (int i = 0; i < 5; ++i) {
        QAccessibleInterface* caption = Of(form->LabCap[std::size_t(i)]);
        EXPECT_EQ(caption->role(), QAccessible::PageTab) << i;
        EXPECT_TRUE(caption->state().selectable);
        EXPECT_EQ(bool(caption->state().selected), i == 0) << i;
        EXPECT_TRUE(Pressable(caption)) << i;
    }
    for (ClickLabel* link : form->LabLinks) {
        EXPECT_EQ(Of(link)->role(), QAccessible::Link);
        EXPECT_TRUE(Pressable(Of(link)));
    }
    for (QWidget* button : {static_cast<QWidget*>(Named<ImageControl>(form->Pictures(), "cmdAddImg")),
                            static_cast<QWidget*>(form->imgMin), static_cast<QWidget*>(form->imgClose),
                            static_cast<QWidget*>(Named<ImageControl>(form->Preview(), "imgcmdGo"))}) {
        EXPECT_EQ(Of(button)->role(), QAccessible::Button) << button->objectName().toStdString();
        EXPECT_TRUE(Pressable(Of(button))) << button->objectName().toStdString();
        EXPECT_FALSE(Of(button)->text(QAccessible::Name).isEmpty());
    }
    // Go and Stop are drawn greyed without pictures, and said to be so.
    EXPECT_TRUE(Of(Named<ImageControl>(form->Preview(), "imgcmdGo"))->state().disabled);
    EXPECT_TRUE(Of(Named<ImageControl>(form->Preview(), "imgcmdStop"))->state().disabled);
    EXPECT_FALSE(Of(Named<ImageControl>(form->Pictures(), "cmdAddImg"))->state().disabled);
    form->Preview().SetCommandsEnabled(true);
    EXPECT_FALSE(Of(Named<ImageControl>(form->Preview(), "imgcmdGo"))->state().disabled);

    // The press action does what a click does.
    Of(form->LabCap[2])->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(form->Tabs().CurrentTab, 2);
    EXPECT_TRUE(Of(form->LabCap[2])->state().selected);
    EXPECT_FALSE(Of(form->LabCap[0])->state().selected);
    Of(Named<ImageControl>(form->Pictures(), "cmdAddImg"))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(openRequests.size(), 1u);
}

TEST_F(AccessibilityTest, EveryFieldHasAName)
{
    const std::vector<QWidget*> fields = {
        Named<QCheckBox>(form->Pictures(), "chkAll"),  Named<QLineEdit>(form->Settings(), "txtMS"),
        Named<QLineEdit>(form->Settings(), "txtLoop"), Named<QComboBox>(form->Settings(), "cboDim"),
        Named<QLineEdit>(form->Settings(), "txtW"),    Named<QLineEdit>(form->Settings(), "txtH"),
        Named<QLineEdit>(form->Create(), "txtGIF"),    Named<QPushButton>(form->Create(), "cmdOpen")};
    QStringList names;
    for (QWidget* field : fields)
        names << Of(field)->text(QAccessible::Name);
    EXPECT_EQ(names,
              QStringList({QStringLiteral("Check all pictures"), QStringLiteral("Play time every frame"),
                           QStringLiteral("Loop times when play"), QStringLiteral("Original pictures dimensions"),
                           QStringLiteral("Output GIF width"), QStringLiteral("Output GIF height"),
                           QStringLiteral("Animated GIF file name:"), QStringLiteral("Choose the GIF file name")}));
}

} // namespace
