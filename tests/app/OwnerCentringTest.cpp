// SPDX-License-Identifier: GPL-3.0-or-later
// Modal windows open centred on the main window, frame included: offscreen,
// and through tests/run-under-xvfb on X11 with and without a window manager.
#include "support/FormFixture.h"

#include <QDialog>
#include <QTest>
#include <QWindow>

namespace {

using OwnerCentringTest = FormFixture;

TEST_F(OwnerCentringTest, ModalWindowsOpenCentredOnTheMainWindow)
{
    const bool framed = qEnvironmentVariableIntValue("FLIPREEL_EXPECT_FRAMES") == 1;
    // Generous waits: a loaded machine and a starting window manager are slow.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get(), 60000));
    form->Pictures().AddPictureRow({QStringLiteral("p.png"), QString(), QSize(64, 48), QStringLiteral("/p")});
    QStringList opened;
    onModal = [&](QDialog& dialog) {
        opened << dialog.objectName();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog, 60000));
        // A window manager frames the window some time after it is shown.
        EXPECT_TRUE(!framed || QTest::qWaitFor([&] { return dialog.windowHandle()->frameMargins().top() > 0; }, 60000));
        const auto offset = [&] { return dialog.frameGeometry().center() - form->frameGeometry().center(); };
        (void)QTest::qWaitFor([&] { return offset().manhattanLength() <= 1; }, 20000);
        EXPECT_TRUE(std::abs(offset().x()) <= 1 && std::abs(offset().y()) <= 1)
            << dialog.objectName().toStdString() << " off by " << offset().x() << ", " << offset().y();
        dialog.reject();
        return int(QDialog::Rejected);
    };
    form->LabLinks_Click(2);
    form->ShowPicturePreview();
    form->Frames().lstFrame_DblClick();
    EXPECT_EQ(opened,
              QStringList({QStringLiteral("frmAbout"), QStringLiteral("frmPreview"), QStringLiteral("frmProp")}));
}

} // namespace
