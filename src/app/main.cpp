// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FrmAbout.h"
#include "app/FrmGif.h"
#include "common/Translations.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    // The program takes no arguments: whatever it is given, it starts as usual.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Flipreel"));
    QApplication::setApplicationVersion(QStringLiteral(FLIPREEL_VERSION));
    Translations::Install();

    FrmGif window;
    window.ShowCentered();

    // For the README and help pictures only (scripts/screenshot,
    // scripts/help-screenshots): FLIPREEL_SCREENSHOT names the picture to save,
    // FLIPREEL_SCREENSHOT_STEP the step (1 to 5) or "about" for the About window.
    const QString path = qEnvironmentVariable("FLIPREEL_SCREENSHOT");
    if (!path.isEmpty()) {
        const QString step = qEnvironmentVariable("FLIPREEL_SCREENSHOT_STEP");
        const bool about = step == QLatin1String("about");
        window.LabCap_Click(about ? 0 : qBound(1, step.toInt(), 5) - 1);
        QWidget* shown = &window;
        if (about) {
            shown = new FrmAbout(&window);
            shown->show();
        }
        QTimer::singleShot(300, &window, [shown, path] { QApplication::exit(shown->grab().save(path) ? 0 : 1); });
    }
    return QApplication::exec();
}
