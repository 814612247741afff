// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FrmGif.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Flipreel"));
    QApplication::setApplicationVersion(QStringLiteral(FLIPREEL_VERSION));
    FrmGif window;
    window.ShowCentered();
    return QApplication::exec();
}
