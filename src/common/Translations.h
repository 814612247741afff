// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The texts of both programs in the user's language, where a translation of
// them is installed; English, the texts written in the code, otherwise.
namespace Translations {

// Where the translations lie for a program in programFolder: "translations"
// in that folder when it is there (a build), else "../share/flipreel/translations"
// beside it (an installed program).
QString Folder(const QString& programFolder);

// Installs the program's and Qt's own translations for the system locale on
// the running application. Missing translations are no error: those texts
// stay English.
void Install();

} // namespace Translations
