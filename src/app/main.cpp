// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FrmAbout.h"
#include "app/FrmGif.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Flipreel"));
    QApplication::setApplicationVersion(QStringLiteral(FLIPREEL_VERSION));

    // --screenshot PATH [--step N | --about]: saves a picture of the window
    // (or of the About window) and quits (used for the README and the help pages).
    QCommandLineParser parser;
    const QCommandLineOption screenshot(QStringLiteral("screenshot"), QString(), QStringLiteral("path"));
    const QCommandLineOption step(QStringLiteral("step"), QString(), QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption about(QStringLiteral("about"));
    parser.addOptions({screenshot, step, about});
    parser.process(app);

    FrmGif window;
    window.ShowCentered();
    if (parser.isSet(screenshot)) {
        const QString path = parser.value(screenshot);
        const int index = qBound(1, parser.value(step).toInt(), 5) - 1;
        window.LabCap_Click(index);
        QWidget* shown = &window;
        if (parser.isSet(about)) {
            shown = new FrmAbout(&window);
            shown->show();
        }
        QTimer::singleShot(300, &window, [shown, path] {
            QApplication::exit(shown->grab().save(path) ? 0 : 1);
        });
    }
    return QApplication::exec();
}
