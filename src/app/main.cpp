// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FrmGif.h"
#include "app/Screenshot.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Flipreel"));
    QApplication::setApplicationVersion(QStringLiteral(FLIPREEL_VERSION));
    FrmGif window;
    if (const std::optional<int> code = Screenshot::Run(window, QApplication::arguments()))
        return *code;
    window.ShowCentered();
    return QApplication::exec();
}
