// SPDX-License-Identifier: GPL-3.0-or-later
// An install into a temporary prefix: every file in its place, the desktop
// entry and the AppStream data accepted by the freedesktop validators, and the
// installed program finding its help.
#include "app/ModLinks.h"
#include "cli/TestVideo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Ran {
    int exitCode = -1;
    QString output;
};

Ran RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAll())};
}

const QString kAppId = QStringLiteral("org.flipreel.Flipreel");

// One install for all checks: cmake --install writes a manifest into the build
// folder, which installs running side by side would share.
TEST(InstallTest, EveryFileInItsPlaceValidatedAndFound)
{
    QTemporaryDir prefix;
    // The test programs sit in tests/ of the build folder.
    const QString build = qEnvironmentVariable(
        "FLIPREEL_BUILD_DIR", QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/..")));
    const Ran installed = RunTool(QStringLiteral("cmake"),
                                  {QStringLiteral("--install"), build, QStringLiteral("--prefix"), prefix.path()});
    ASSERT_EQ(installed.exitCode, 0) << installed.output.toStdString();
    auto At = [&prefix](const QString& relative) { return prefix.filePath(relative); };

    for (const QString& program : {QStringLiteral("bin/flipreel"), QStringLiteral("bin/flipreel-cli")})
        EXPECT_TRUE(QFileInfo(At(program)).isExecutable()) << program.toStdString();
    const QStringList files = {
        QStringLiteral("share/flipreel/help/index.html"),
        QStringLiteral("share/flipreel/help/style.css"),
        QStringLiteral("share/flipreel/help/images/step1.png"),
        QStringLiteral("share/applications/") + kAppId + QStringLiteral(".desktop"),
        QStringLiteral("share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml"),
        QStringLiteral("share/icons/hicolor/scalable/apps/") + kAppId + QStringLiteral(".svg"),
        QStringLiteral("share/man/man1/flipreel.1.gz"),
        QStringLiteral("share/man/man1/flipreel-cli.1.gz"),
        QStringLiteral("share/bash-completion/completions/flipreel-cli"),
        QStringLiteral("share/zsh/vendor-completions/_flipreel-cli"),
        QStringLiteral("share/fish/vendor_completions.d/flipreel-cli.fish"),
        QStringLiteral("share/doc/flipreel/copyright"),
        QStringLiteral("share/doc/flipreel/changelog.gz"),
    };
    for (const QString& file : files)
        EXPECT_TRUE(QFileInfo(At(file)).isFile()) << file.toStdString();
    // The compiled help is built where its compiler is installed, and then installed too.
    if (QFileInfo::exists(QDir(build).filePath(QStringLiteral("flipreel.chm")))) {
        EXPECT_TRUE(QFileInfo(At(QStringLiteral("share/flipreel/flipreel.chm"))).isFile());
    }
    // Each PNG of the icon theme has the size its folder names.
    for (int side : {16, 24, 32, 48, 64, 128, 256}) {
        const QString file = QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(side).arg(kAppId);
        const QImage icon(At(file));
        EXPECT_EQ(icon.size(), QSize(side, side)) << file.toStdString();
    }

    // The desktop entry and the metadata pass the validators and name installed files.
    const QString desktop = At(QStringLiteral("share/applications/") + kAppId + QStringLiteral(".desktop"));
    const QString metainfo = At(QStringLiteral("share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml"));
    const Ran entry = RunTool(QStringLiteral("desktop-file-validate"), {desktop});
    EXPECT_EQ(entry.exitCode, 0) << entry.output.toStdString();
    EXPECT_TRUE(entry.output.trimmed().isEmpty()) << entry.output.toStdString();
    const Ran appstream =
        RunTool(QStringLiteral("appstreamcli"), {QStringLiteral("validate"), QStringLiteral("--no-net"), metainfo});
    EXPECT_EQ(appstream.exitCode, 0) << appstream.output.toStdString();
    // No warnings or infos either (pedantic notes aside).
    EXPECT_FALSE(
        appstream.output.contains(QRegularExpression(QStringLiteral("^[EWI]: "), QRegularExpression::MultilineOption)))
        << appstream.output.toStdString();

    QSettings entryFile(desktop, QSettings::IniFormat);
    entryFile.beginGroup(QStringLiteral("Desktop Entry"));
    const QStringList exec = entryFile.value(QStringLiteral("Exec")).toString().split(u' ');
    EXPECT_TRUE(QFileInfo(At(QStringLiteral("bin/") + exec.front())).isExecutable());
    // File managers hand the program the pictures it opens with.
    EXPECT_EQ(exec.mid(1), QStringList{QStringLiteral("%F")});
    EXPECT_TRUE(QFileInfo::exists(At(QStringLiteral("share/icons/hicolor/scalable/apps/"))
                                  + entryFile.value(QStringLiteral("Icon")).toString() + QStringLiteral(".svg")));

    // The installed programs run, and find their help.
    const Ran version = RunTool(At(QStringLiteral("bin/flipreel-cli")), {QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output, QStringLiteral("flipreel-cli 1.30\n"));
    // A new version has its entry in the AppStream releases and the package's changelog.
    const QString number = version.output.section(u' ', 1).trimmed();
    QFile metadata(metainfo);
    ASSERT_TRUE(metadata.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(metadata.readAll()).contains(QStringLiteral("<release version=\"%1\"").arg(number)));
    const Ran changelog =
        RunTool(QStringLiteral("gzip"), {QStringLiteral("-dc"), At(QStringLiteral("share/doc/flipreel/changelog.gz"))});
    EXPECT_TRUE(changelog.output.startsWith(QStringLiteral("flipreel (%1) ").arg(number)))
        << changelog.output.toStdString();
    // Video decoding is a module the installed program loads from its library folder.
    const QString video = prefix.filePath(QStringLiteral("clip.mkv"));
    ASSERT_EQ(WriteTestVideo(video, {16, 8}, {{Qt::red, 0, 100}, {Qt::blue, 100, 100}}), QString());
    const Ran fromVideo =
        RunTool(At(QStringLiteral("bin/flipreel-cli")),
                {QStringLiteral("-q"), QStringLiteral("-o"), prefix.filePath(QStringLiteral("clip.gif")), video});
    EXPECT_EQ(fromVideo.exitCode, 0) << fromVideo.output.toStdString();
    EXPECT_EQ(QImage(prefix.filePath(QStringLiteral("clip.gif"))).size(), QSize(16, 8));
    EXPECT_EQ(ModLinks::HelpDocument(ModLinks::HelpFolder(At(QStringLiteral("bin"))), false),
              At(QStringLiteral("share/flipreel/help/index.html")));
    // A folder holding no help of its own, with none installed beside it, stays the program's folder.
    QTemporaryDir bare;
    EXPECT_EQ(ModLinks::HelpFolder(bare.path()), bare.path());
}

} // namespace
