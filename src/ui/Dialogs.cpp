// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Dialogs.h"

#include "ui/OwnerCentring.h"

#include <QColorDialog>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace Dialogs {
namespace {
Handlers& handlers()
{
    static Handlers h;
    return h;
}
} // namespace

QStringList ToNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return out;
}

void SetFileFilters(QFileDialog& dialog, const QString& filter)
{
    // Qt reads the patterns from the trailing "(...)" and hides it.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(ToNameFilters(filter));
}

QString JoinPickedFiles(const QStringList& paths)
{
    if (paths.size() == 1)
        return QDir::toNativeSeparators(paths.front());
    // Names in the first file's folder go by name; a file of another folder
    // (a search or recent-files view picks across folders) keeps its full
    // path, which the adding code takes as it is.
    const QString folder = QFileInfo(paths.front()).absolutePath();
    QStringList pieces{QDir::toNativeSeparators(folder)};
    for (const QString& path : paths) {
        const QFileInfo file(path);
        pieces << (file.absolutePath() == folder ? file.fileName() : QDir::toNativeSeparators(file.absoluteFilePath()));
    }
    return pieces.join(QChar(0));
}

std::optional<QString> OpenFiles(QWidget* owner, const OpenRequest& request)
{
    if (handlers().open)
        return handlers().open(request);
    QFileDialog dialog(owner, request.title, request.initialDir);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    SetFileFilters(dialog, request.filter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return JoinPickedFiles(dialog.selectedFiles());
}

std::optional<QString> SaveFile(QWidget* owner, const SaveRequest& request)
{
    if (handlers().save)
        return handlers().save(request);
    QFileDialog dialog(owner, request.title, request.initialDir);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    SetFileFilters(dialog, request.filter);
    if (!request.overwritePrompt)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().front());
}

std::optional<ColorValue> PickColor(QWidget* owner, const ColorRequest& request)
{
    if (handlers().color)
        return handlers().color(request);
    const QColor picked = QColorDialog::getColor(ToQColor(request.initial), owner, request.title);
    if (!picked.isValid())
        return std::nullopt;
    return FromQColor(picked);
}

int Exec(QDialog& dialog)
{
    if (const QWidget* owner = dialog.parentWidget())
        CentreOnOwner(dialog, *owner->window());
    if (handlers().exec) {
        dialog.setModal(true);
        dialog.show();
        return handlers().exec(dialog);
    }
    return dialog.exec();
}

void SetHandlers(Handlers h) { handlers() = std::move(h); }

} // namespace Dialogs
