// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Screenshot.h"

#include "app/FrmAbout.h"
#include "app/FrmGif.h"

#include <QCoreApplication>
#include <QImage>
#include <QImageWriter>
#include <QTextStream>

namespace Screenshot {

std::optional<int> Run(FrmGif& window, const QStringList& arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--screenshot"));
    if (at < 0)
        return std::nullopt;
    QTextStream err(stderr);
    if (at + 1 >= arguments.size()) {
        err << "--screenshot needs a file name\n";
        return 2;
    }
    const QString path = arguments[at + 1];
    int step = 1;
    if (const qsizetype s = arguments.indexOf(QStringLiteral("--step")); s >= 0) {
        bool ok = false;
        step = s + 1 < arguments.size() ? arguments[s + 1].toInt(&ok) : 0;
        if (!ok || step < 1 || step > 5) {
            err << "--step takes 1 to 5\n";
            return 2;
        }
    }

    window.ShowCentered();
    QCoreApplication::processEvents();
    QImage picture;
    if (arguments.contains(QStringLiteral("--about"))) {
        FrmAbout about(&window);
        about.show();
        QCoreApplication::processEvents();
        picture = about.grab().toImage();
    } else {
        window.LabCap_Click(step - 1);
        QCoreApplication::processEvents();
        picture = window.grab().toImage();
    }
    // Opaque pictures make smaller files.
    picture = picture.convertToFormat(QImage::Format_RGB888);
    QImageWriter writer(path, "png");
    if (!writer.write(picture)) {
        err << path << ": " << writer.errorString() << '\n';
        return 1;
    }
    return 0;
}

} // namespace Screenshot
