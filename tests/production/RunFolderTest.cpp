// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ReplacingFile.h"
#include "production/ModFold.h"
#include "production/RunFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t kOtherUser = 54321;

QByteArray Bytes(const QString& path) { return QFile::encodeName(path); }

void Write(const QString& path, const QByteArray& content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size()) << path.toStdString();
}

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

bool WriteScratch(const QString& path)
{
    ReplacingFile file(path, ReplacingFile::Use::Scratch);
    return file.open(QIODevice::WriteOnly) && file.write("GIF89a") == 6 && file.commit();
}

// A shared temporary folder as /tmp is, with the user's documents elsewhere.
class RunFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(::chmod(Bytes(shared.path()).constData(), 01777), 0);
        ASSERT_TRUE(QDir().mkpath(docs.filePath(QStringLiteral("photos"))));
        Write(notes, "my notes");
    }
    QString Run(const char* name) const { return shared.filePath(QLatin1String(name)); }

    QTemporaryDir shared, docs;
    QString notes = docs.filePath(QStringLiteral("notes.txt"));
};

TEST_F(RunFolderTest, TheSweepRemovesOnlyAbandonedRunFoldersOfThisUserAndNeverFollowsALink)
{
    // Links named as run folders, of the earlier form and of this one.
    for (const char* link : {"run-99999-abcdef", "run-abcdefABCDEF"})
        ASSERT_EQ(::symlink(Bytes(docs.path()).constData(), Bytes(Run(link)).constData()), 0);
    // Folders left by runs that ended without cleaning up (made elsewhere, as
    // every new run sweeps), and a live one.
    QTemporaryDir staging;
    auto leaveOne = [&](const char* as) {
        RunFolder ended({staging.path()});
        Write(QDir(ended.Path()).filePath(QStringLiteral("__frame__1.gif")), "GIF");
        EXPECT_TRUE(QDir().rename(ended.Path(), Run(as)));
    };
    RunFolder live({shared.path()});
    Write(QDir(live.Path()).filePath(QStringLiteral("__frame__1.gif")), "GIF");
    leaveOne("run-leftLeftLeft");
    // Named so, but without the marker: not ours to delete.
    ASSERT_TRUE(QDir().mkpath(Run("run-noMarker1234/keep")));
    const bool root = ::geteuid() == 0;
    if (root) {
        // Another user's, marker and all.
        leaveOne("run-theirsTheirs");
        ASSERT_EQ(::chown(Bytes(Run("run-theirsTheirs")).constData(), kOtherUser, kOtherUser), 0);
    }

    RunFolder::RemoveAbandoned(shared.path());
    EXPECT_EQ(Read(notes), QByteArray("my notes"));
    EXPECT_TRUE(QFileInfo(docs.filePath(QStringLiteral("photos"))).isDir());
    EXPECT_FALSE(QFileInfo::exists(Run("run-leftLeftLeft")));
    EXPECT_EQ(Read(QDir(live.Path()).filePath(QStringLiteral("__frame__1.gif"))), QByteArray("GIF"));
    EXPECT_TRUE(QFileInfo(Run("run-noMarker1234/keep")).isDir());
    if (root) {
        EXPECT_TRUE(QFileInfo(Run("run-theirsTheirs/.flipreel-run")).isFile());
    }
    for (const char* link : {"run-99999-abcdef", "run-abcdefABCDEF"})
        EXPECT_TRUE(QFileInfo(Run(link)).isSymLink()) << link;
}

TEST_F(RunFolderTest, FramesGoIntoThePrivateFolderOnlyWhateverIsPlantedOrSwapped)
{
    RunFolder run({shared.path()});
    ASSERT_TRUE(run.IsValid()) << run.Error().toStdString();
    struct stat info { };
    ASSERT_EQ(::stat(Bytes(run.Path()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    EXPECT_FALSE(QFileInfo(run.Path()).fileName().contains(QString::number(::getpid())));

    // A link planted in the folder itself is replaced, not written through.
    const QString frame1 = QDir(run.Path()).filePath(QStringLiteral("__frame__1.gif"));
    ASSERT_TRUE(QFile::link(notes, frame1));
    EXPECT_TRUE(WriteScratch(frame1));
    EXPECT_FALSE(QFileInfo(frame1).isSymLink());
    // The folder swapped for one full of links: frames still go to the real one.
    const QString moved = run.Path() + QStringLiteral("-moved");
    ASSERT_TRUE(QDir().rename(run.Path(), moved));
    ASSERT_TRUE(QDir().mkpath(run.Path()));
    const QString frame2 = QDir(run.Path()).filePath(QStringLiteral("__frame__2.gif"));
    ASSERT_TRUE(QFile::link(notes, frame2));
    EXPECT_TRUE(WriteScratch(frame2));
    EXPECT_EQ(Read(notes), QByteArray("my notes"));
    EXPECT_EQ(Read(QDir(moved).filePath(QStringLiteral("__frame__2.gif"))), QByteArray("GIF89a"));
    ASSERT_TRUE(QFile::remove(frame2) && QDir().rmdir(run.Path()) && QDir().rename(moved, run.Path()));
}

TEST_F(RunFolderTest, AFolderThatOthersCanRenameEntriesInIsRefused)
{
    ASSERT_EQ(::chmod(Bytes(shared.path()).constData(), 0777), 0);
    RunFolder open({shared.path()});
    EXPECT_FALSE(open.IsValid());
    EXPECT_TRUE(open.Error().contains(QLatin1String("not sticky"))) << open.Error().toStdString();
    EXPECT_TRUE(QDir(shared.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    if (::geteuid() != 0)
        GTEST_SKIP() << "a folder of another user needs root to make";
    ASSERT_EQ(::chmod(Bytes(shared.path()).constData(), 0755), 0);
    ASSERT_EQ(::chown(Bytes(shared.path()).constData(), kOtherUser, kOtherUser), 0);
    RunFolder theirs({shared.path()});
    EXPECT_FALSE(theirs.IsValid());
    EXPECT_TRUE(theirs.Error().contains(QLatin1String("another user"))) << theirs.Error().toStdString();
}

// A run in another PID namespace (a container, another machine on the same
// home) whose process id means nothing here: its folder must be kept while
// it runs, and go once it has ended.
TEST_F(RunFolderTest, ALiveRunInAnotherPidNamespaceKeepsItsFolder)
{
    if (const QByteArray folder = qgetenv("FLIPREEL_HOLD_RUN_IN"); !folder.isEmpty()) {
        // The run of the other namespace: holds its folder until told to end.
        RunFolder run({QFile::decodeName(folder)});
        Write(QDir(run.Path()).filePath(QStringLiteral("__frame__1.gif")), "GIF");
        std::printf("%s\n", Bytes(run.Path()).constData());
        std::fflush(stdout);
        char c = 0;
        while (::read(STDIN_FILENO, &c, 1) > 0) { }
        return;
    }
    if (::geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("unshare")).isEmpty())
        GTEST_SKIP() << "a PID namespace needs root and unshare";
    // A process id that no process here has, for the other run.
    pid_t unused = 30000;
    while (unused > 300 && ::kill(unused, 0) == 0)
        --unused;
    QProcess other;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FLIPREEL_HOLD_RUN_IN"), shared.path());
    other.setProcessEnvironment(env);
    other.start(
        QStringLiteral("unshare"),
        {QStringLiteral("--pid"), QStringLiteral("--fork"), QStringLiteral("--mount-proc"), QStringLiteral("sh"),
         QStringLiteral("-c"),
         QStringLiteral("exec 3<&0; echo %1 > /proc/sys/kernel/ns_last_pid; \"$0\" "
                        "--gtest_filter=RunFolderTest.ALiveRunInAnotherPidNamespaceKeepsItsFolder 0<&3 & wait $!")
             .arg(unused - 1),
         QCoreApplication::applicationFilePath()});
    ASSERT_TRUE(other.waitForStarted());
    QString path;
    while (path.isEmpty() && other.waitForReadyRead(60000))
        for (const QByteArray& line : other.readAllStandardOutput().split('\n'))
            if (line.startsWith(Bytes(shared.path())))
                path = QFile::decodeName(line);
    if (path.isEmpty()) {
        other.kill();
        other.waitForFinished();
        GTEST_SKIP() << "no PID namespace here: " << other.readAllStandardError().toStdString();
    }
    RunFolder mine({shared.path()}); // sweeps, as every run does
    EXPECT_EQ(Read(QDir(path).filePath(QStringLiteral("__frame__1.gif"))), QByteArray("GIF"));
    other.closeWriteChannel();
    ASSERT_TRUE(other.waitForFinished(60000));
    RunFolder::RemoveAbandoned(shared.path());
    EXPECT_FALSE(QFileInfo::exists(path)) << "the ended run's folder goes";
    EXPECT_TRUE(QFileInfo(mine.Path()).isDir());
}

// Sets (or with nullptr unsets) an environment variable while it lives.
class Variable final {
public:
    Variable(const char* name, const QString& value)
        : name_(name)
        , was_(qgetenv(name))
        , set_(qEnvironmentVariableIsSet(name))
    {
        value.isNull() ? qunsetenv(name) : qputenv(name, QFile::encodeName(value));
    }
    ~Variable() { set_ ? qputenv(name_, was_) : qunsetenv(name_); }
    Q_DISABLE_COPY_MOVE(Variable)

private:
    const char* name_;
    QByteArray was_;
    bool set_;
};

TEST(ModFold, RunFoldersGoBesideAUsersOwnBuildOnlyElseIntoTheUsersOwnFolders)
{
    QTemporaryDir t;
    const QString build = t.filePath(QStringLiteral("build"));
    const QString bin = t.filePath(QStringLiteral("usr/bin"));
    ASSERT_TRUE(QDir().mkpath(build) && QDir().mkpath(bin)
                && QDir().mkpath(t.filePath(QStringLiteral("usr/share/flipreel"))));
    const QString home = t.filePath(QStringLiteral("home"));
    const QString cache = home + QStringLiteral("/.cache/flipreel/temp");
    const Variable chosen(ModFold::kTemporaryFolderVariable, QString());
    const Variable xdgCache("XDG_CACHE_HOME", QString());
    const Variable xdgRuntime("XDG_RUNTIME_DIR", QString());
    {
        const Variable h("HOME", home);
        EXPECT_EQ(ModFold::TemporaryFolderCandidates(build), (QStringList{build + QStringLiteral("/temp"), cache}));
        EXPECT_EQ(ModFold::TemporaryFolderCandidates(bin), QStringList{cache}) << "installed: never beside itself";
        const Variable relative("XDG_CACHE_HOME", QStringLiteral("cache"));
        EXPECT_EQ(ModFold::TemporaryFolderCandidates(QString()), QStringList{cache});
        const Variable x("XDG_CACHE_HOME", t.filePath(QStringLiteral("c")));
        EXPECT_EQ(ModFold::TemporaryFolderCandidates(QString()),
                  QStringList{t.filePath(QStringLiteral("c/flipreel/temp"))});
    }
    for (const QString& noHome : {QString(), QStringLiteral("/")}) {
        const Variable h("HOME", noHome);
        const QString fallback = QStringLiteral("/tmp/flipreel-%1").arg(::geteuid());
        EXPECT_EQ(ModFold::TemporaryFolderCandidates(bin), QStringList{fallback});
        const Variable r("XDG_RUNTIME_DIR", t.filePath(QStringLiteral("run")));
        EXPECT_EQ(ModFold::TemporaryFolderCandidates(bin), QStringList{t.filePath(QStringLiteral("run/flipreel"))});
    }
    if (::geteuid() != 0)
        GTEST_SKIP() << "a program folder of another user needs root to make";
    ASSERT_EQ(::chown(Bytes(build).constData(), kOtherUser, kOtherUser), 0);
    const Variable h("HOME", home);
    EXPECT_EQ(ModFold::TemporaryFolderCandidates(build), QStringList{cache}) << "an unpacked copy of another user";
}

} // namespace
