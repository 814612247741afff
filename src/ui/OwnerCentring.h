// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// Keeps a modal window centred on its owner, frame included. A window manager
// tells the size of its frame only after the window is shown, so the window
// is centred again whenever that size changes; a move by the user stays.
void CentreOnOwner(QWidget& window, const QWidget& owner);
