// SPDX-License-Identifier: GPL-3.0-or-later
// The About window, the picture preview window and the properties dialog open
// centred on the main window, frame included. Run offscreen and, by
// tests/run-under-wm, under Xvfb with a window manager that frames them
// (FLIPREEL_EXPECT_FRAMES=1 there).
#include "support/FormFixture.h"

#include <QDialog>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>

namespace {

using OwnerCentringTest = FormFixture;

TEST_F(OwnerCentringTest, ModalWindowsOpenCentredOnTheMainWindow)
{
    const bool framed = qEnvironmentVariableIntValue("FLIPREEL_EXPECT_FRAMES") == 1;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->AddPictureRow(QStringLiteral("p.png"), QStringLiteral("PNG image"), QStringLiteral("64 x 48"),
                        QStringLiteral("/pics"));
    form->AddFrameRow(QStringLiteral("p.png"));

    QStringList opened;
    onModal = [&](QDialog& dialog) {
        const std::string name = dialog.objectName().toStdString();
        opened << dialog.objectName();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog)) << name;
        if (framed) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.windowHandle()->frameMargins().top() > 0; }, 10000))
                << name << " got no frame from the window manager";
        }
        const auto offset = [&] { return dialog.frameGeometry().center() - form->frameGeometry().center(); };
        (void)QTest::qWaitFor([&] { return offset().manhattanLength() <= 1; }, 5000);
        EXPECT_LE(std::abs(offset().x()), 1) << name;
        EXPECT_LE(std::abs(offset().y()), 1) << name;
        dialog.reject();
        return int(QDialog::Rejected);
    };
    form->LabLinks_Click(2);
    form->ShowPicturePreview();
    form->lstFrame_DblClick();
    EXPECT_EQ(opened, QStringList({QStringLiteral("frmAbout"), QStringLiteral("frmPreview"), QStringLiteral("frmProp")}));
}

} // namespace
