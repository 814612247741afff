// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Colors.h"

#include <QString>
#include <functional>
#include <optional>

class QDialog;
class QFileDialog;
class QWidget;

// The common dialogs (open, save, colour) and modal windows, behind one thin
// layer so that tests can answer them. A cancel is an empty optional.
namespace Dialogs {

struct OpenRequest {
    QString title;
    // "Description|pattern;pattern|Description|pattern..." as the program builds it.
    QString filter;
    bool multiSelect = false;
    bool fileMustExist = false;
    QString initialDir;
};

struct SaveRequest {
    QString title;
    QString filter; // same form as OpenRequest::filter
    QString initialDir;
    bool overwritePrompt = false;
};

struct ColorRequest {
    QString title;
    ColorValue initial = 0;
};

// Returns one full path for one file, or the folder and the names separated by
// the character with code 0 for several files (the form the adding code splits).
std::optional<QString> OpenFiles(QWidget* owner, const OpenRequest& request);
std::optional<QString> SaveFile(QWidget* owner, const SaveRequest& request);
std::optional<ColorValue> PickColor(QWidget* owner, const ColorRequest& request);
// Shows a modal window and returns its result code.
int Exec(QDialog& dialog);

// Turns "Desc|pat;pat|Desc|pat" into the name filters a Qt file dialog takes.
QStringList ToNameFilters(const QString& filter);
// Gives a file dialog those filters, each shown by its description alone
// (most descriptions already name their patterns).
void SetFileFilters(QFileDialog& dialog, const QString& filter);
// The one-text answer for a list of picked full paths: the first file's
// folder, then each name in it, or the full path of a file elsewhere.
QString JoinPickedFiles(const QStringList& paths);

struct Handlers {
    std::function<std::optional<QString>(const OpenRequest&)> open;
    std::function<std::optional<QString>(const SaveRequest&)> save;
    std::function<std::optional<ColorValue>(const ColorRequest&)> color;
    // Gets the dialog after it has been shown; returns the result code. The
    // dialog can be driven and closed from the handler.
    std::function<int(QDialog&)> exec;
};
// Empty members keep the real dialogs for that kind.
void SetHandlers(Handlers handlers);

} // namespace Dialogs
