// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FrmAbout.h"
#include "app/FrmGif.h"
#include "common/FileNames.h"
#include "common/Translations.h"
#include "lists/PicturesPage.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Flipreel"));
    QApplication::setApplicationVersion(QStringLiteral(FLIPREEL_VERSION));
    // Ties the window to its desktop entry (the Wayland app id, the taskbar's icon).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.flipreel.Flipreel"));
    Translations::Install();

    // The only arguments are pictures ("Open with" of a file manager), taken as
    // the bytes they are, as if picked in the open dialog once the window shows.
    // QApplication has already taken its own options out of argv.
    QStringList pictures;
    for (int i = 1; i < argc; ++i)
        pictures << QDir::cleanPath(QDir::current().absoluteFilePath(FileNames::FromBytes(QByteArray(argv[i]))));

    FrmGif window;
    window.ShowCentered();
    if (!pictures.isEmpty())
        QTimer::singleShot(0, &window, [&window, pictures] { window.Pictures().lstPic_DropFiles(pictures); });

    // For the README and help pictures only (scripts/screenshot,
    // scripts/help-screenshots): FLIPREEL_SCREENSHOT names the picture to save,
    // FLIPREEL_SCREENSHOT_STEP the step (1 to 5) or "about" for the About window.
    const QString path = qEnvironmentVariable("FLIPREEL_SCREENSHOT");
    if (!path.isEmpty()) {
        const QString step = qEnvironmentVariable("FLIPREEL_SCREENSHOT_STEP");
        const bool about = step == QLatin1String("about");
        window.LabCap_Click(about ? 0 : qBound(1, step.toInt(), ModTab::TabCount) - 1);
        QWidget* shown = &window;
        if (about) {
            shown = new FrmAbout(&window);
            shown->show();
        }
        QTimer::singleShot(300, &window, [shown, path] { QApplication::exit(shown->grab().save(path) ? 0 : 1); });
    }
    return QApplication::exec();
}
