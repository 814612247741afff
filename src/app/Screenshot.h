// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include <optional>

class FrmGif;

// A hidden option for the help pages' pictures:
//   flipreel --screenshot PATH [--step N | --about]
// shows the main window on step N (1 to 5, default 1) or the About window,
// saves a picture of it as PNG and ends. No value when the option is absent.
namespace Screenshot {
std::optional<int> Run(FrmGif& window, const QStringList& arguments);
}
