// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Translations {

QString Folder(const QString& programFolder)
{
    const QString beside = programFolder + QStringLiteral("/translations");
    if (QFileInfo(beside).isDir())
        return beside;
    return QDir::cleanPath(programFolder + QStringLiteral("/../share/flipreel/translations"));
}

namespace {
void Load(const QString& name, const QString& folder)
{
    // Owned by the application, which keeps translators until it ends.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale::system(), name, QStringLiteral("_"), folder))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}
} // namespace

void Install()
{
    Load(QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    Load(QStringLiteral("flipreel"), Folder(QCoreApplication::applicationDirPath()));
}

} // namespace Translations
