#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <random>

#include "files/file_lock.h"
#include "profile/ini_text.h"
#include "profile/profile_file.h"
#include "recording_platform.h"

namespace tumblecast {
namespace {

using test::asPlayer;
using test::kPlayer;
using test::readFile;
using test::RecordingPlatform;
using test::writeFile;

void setMode(const QString& path, mode_t mode) { ASSERT_EQ(chmod(QFile::encodeName(path), mode), 0); }

QStringList folderEntries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// A lock left by a copy that is gone: named for a process that cannot exist, long ago.
void writeStaleLock(const QString& path)
{
    writeFile(path, "2147483647 " + QSysInfo::machineHostName().toUtf8());
    struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(path).constData(), old, 0), 0);
}

TEST(ProfileFile, ReadsAndWritesBesideTheExecutable)
{
    RecordingPlatform platform;
    const QString dir = platform.executableDir();
    EXPECT_FALSE(ProfileExists(dir));
    EXPECT_EQ(ReadProfileValue(dir, "Slot1", "Caption", QString(60, u'd')), QString(49, u'd'));

    EXPECT_EQ(std::nullopt, WriteProfileValue(dir, "Slot3", "Caption", QString(60, u'c')));
    EXPECT_TRUE(ProfileExists(dir));
    EXPECT_EQ(readFile(ProfilePath(dir)), "[Slot3]\nCaption=" + QByteArray(60, 'c') + "\n");
    EXPECT_EQ(ReadProfileValue(dir, "Slot3", "Caption", "x"), QString(49, u'c'));

    // A hand edit between two operations is seen by the next one: nothing is cached.
    writeFile(ProfilePath(dir), "[Slot3]\nDice=  12  \n");
    EXPECT_EQ(ReadProfileValue(dir, "Slot3", "Dice", ""), "12");
    EXPECT_TRUE(test::filesBesideTheProfile(dir).isEmpty());
}

TEST(ProfileFile, DirectoryOfThatNameCountsAsMissing)
{
    RecordingPlatform platform;
    const QString dir = platform.executableDir();
    ASSERT_TRUE(QDir(dir).mkdir("corvane.ini"));
    EXPECT_FALSE(ProfileExists(dir));
    EXPECT_EQ(ReadProfileValue(dir, "Options", "QuickSlots", "d"), "d");
    const auto error = WriteProfileValue(dir, "Options", "QuickSlots", "1");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->path, ProfilePath(dir));
    EXPECT_EQ(error->reason, "Is a directory");
    EXPECT_TRUE(QFileInfo(ProfilePath(dir)).isDir());
}

TEST(ProfileFile, SymbolicLinkIsWrittenThroughToItsTarget)
{
    RecordingPlatform platform;
    const QString dir = platform.executableDir();
    const QString target = dir + "/real.ini";
    writeFile(target, "[Options]\nQuickSlots=1\n");
    ASSERT_TRUE(QFile::link("real.ini", ProfilePath(dir)));
    EXPECT_EQ(std::nullopt, WriteProfileValue(dir, "Options", "QuickSlots", "0"));
    EXPECT_TRUE(QFileInfo(ProfilePath(dir)).isSymLink());
    EXPECT_EQ(readFile(target), "[Options]\nQuickSlots=0\n");
}

TEST(ProfileFile, WindowsProfileKeepsItsLineEndsAndBytes)
{
    RecordingPlatform platform;
    const QString dir = platform.executableDir();
    const QByteArray original = readFile(QStringLiteral(PROFILE_DATA_DIR "/windows.ini"));
    writeFile(ProfilePath(dir), original);
    EXPECT_EQ(ReadProfileValue(dir, "Slot1", "Caption", ""), u"Café €"_qs);
    EXPECT_EQ(ReadProfileValue(dir, "Options", "QuickSlots", ""), "0");

    EXPECT_EQ(std::nullopt, WriteProfileValue(dir, "Slot1", "Sides", "20"));
    EXPECT_EQ(std::nullopt, WriteProfileValue(dir, "Slot1", "Caption", u"Thé"_qs));
    EXPECT_EQ(std::nullopt, WriteProfileValue(dir, "Slot2", "Dice", "4"));
    QByteArray expected = original;
    expected.replace("Sides=6", "Sides=20").replace("Caf\xE9 \x80", "Th\xE9");
    expected += "\r\n[Slot2]\r\nDice=4\r\n";
    EXPECT_EQ(readFile(ProfilePath(dir)), expected);
    EXPECT_EQ(ReadProfileValue(dir, "Slot1", "Caption", ""), u"Thé"_qs);
}

// Neither a file marked read-only (which a rename could still replace) nor one that cannot be read (which
// would be replaced by the new value alone) is written.
TEST(ProfileFile, ReadOnlyOrUnreadableProfileIsLeftAlone)
{
    const QByteArray stored = "[Options]\nQuickSlots=1\n";
    for (const bool readable : {true, false}) {
        if (!readable && geteuid() == 0) continue;  // root reads every file
        RecordingPlatform platform;
        const QString dir = platform.executableDir();
        writeFile(ProfilePath(dir), stored);
        QFile::setPermissions(ProfilePath(dir), readable ? QFileDevice::ReadOwner : QFileDevice::WriteOwner);
        EXPECT_EQ(ReadProfileValue(dir, "Options", "QuickSlots", "d"), readable ? "1" : "d");
        const auto error = WriteProfileValue(dir, "Slot1", "Dice", "3");
        ASSERT_TRUE(error);
        EXPECT_EQ(error->reason, "Permission denied");
        QFile::setPermissions(ProfilePath(dir), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        EXPECT_EQ(readFile(ProfilePath(dir)), stored);
    }
}

// A write that cannot finish (here: the file size limit, as a full disk) leaves the old bytes.
TEST(ProfileFile, FailedWriteLeavesTheOldFile)
{
    RecordingPlatform platform;
    const QString dir = platform.executableDir();
    const QByteArray old = "[Slot1]\nCaption=" + QByteArray(200, 'o') + "\n";
    writeFile(ProfilePath(dir), old);
    std::optional<ProfileError> error;
    {
        test::FileSizeLimit full(100);
        error = WriteProfileValue(dir, "Slot1", "Caption", QString(300, u'n'));
    }

    ASSERT_TRUE(error);
    EXPECT_EQ(error->reason, "File too large");
    EXPECT_EQ(readFile(ProfilePath(dir)), old);
    EXPECT_TRUE(test::filesBesideTheProfile(dir).isEmpty());
}

// A writer killed at any moment leaves a profile that is exactly one of the states it wrote, whole.
TEST(ProfileFile, KilledWriterLeavesOldOrNewFile)
{
    // On a memory file system where there is one: on disk the test spends its time in the sync of every
    // write, and the sync plays no part in what a killed process leaves behind.
    RecordingPlatform platform(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                         : QString());
    const QString dir = platform.executableDir();
    const QByteArray base =
        "; hand-written\n[Slot1]\nEnabled=1\nCaption=Dagger\n\n[Slot3]\nCaption=start\n"
        "Dice=2\n\n[Options]\nQuickSlots=1\n";
    writeFile(ProfilePath(dir), base);
    // Values of different lengths, so that a torn file could not look whole by chance.
    auto valueFor = [](int n) { return QStringLiteral("v%1-").arg(n) + QString(n % 37, u'x'); };

    std::mt19937 random(20261205);
    int written = 0;  // the number in the file after the last kill
    for (int round = 0; round < 200; ++round) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Two whole writes first, each reported, so that the parent knows how long one takes here.
            close(ready[0]);
            for (int n = written + 1;; ++n) {
                WriteProfileValue(dir, "Slot3", "Caption", valueFor(n));
                if (n <= written + 2) (void)!write(ready[1], "w", 1);
            }
        }
        close(ready[1]);
        char byte = 0;
        ASSERT_EQ(read(ready[0], &byte, 1), 1);
        const auto first = std::chrono::steady_clock::now();
        ASSERT_EQ(read(ready[0], &byte, 1), 1);
        const auto second = std::chrono::steady_clock::now();
        close(ready[0]);
        // A busy wait, not a sleep: it only spreads the kills over the next few writes. No outcome depends on
        // where the kill lands.
        const auto until = second + (second - first) * std::uniform_real_distribution<double>(0, 3)(random);
        while (std::chrono::steady_clock::now() < until) {
        }
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);

        const QString value = ReadProfileValue(dir, "Slot3", "Caption", "");
        const int n = value.mid(1, value.indexOf(u'-') - 1).toInt();
        ASSERT_GT(n, written) << "round " << round;
        ASSERT_EQ(readFile(ProfilePath(dir)), ini::writeValue(base, "Slot3", "Caption", valueFor(n)))
            << "round " << round;
        written = n;
    }
}

// An installed copy's folder is not the player's to write: its profile goes under the player's settings.
TEST(ProfileFile, InstalledCopyKeepsItsProfileUnderTheUsersConfig)
{
    asPlayer([] {
        QTemporaryDir portable, installed, home;
        setMode(installed.path(), 0555);
        qputenv("HOME", QFile::encodeName(home.path()));
        for (const QString& xdg : {QStringLiteral("relative"), QString(), home.path() + "/xdg"}) {
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(xdg));
            EXPECT_EQ(ProfilePath(installed.path()),
                      (xdg.startsWith(u'/') ? xdg : home.path() + "/.config") + "/tumblecast/corvane.ini");
        }
        EXPECT_EQ(ProfilePath(portable.path()), portable.path() + "/corvane.ini");
        EXPECT_EQ(WriteProfileValue(installed.path(), "Options", "QuickSlots", "1"), std::nullopt);
        EXPECT_EQ(readFile(home.path() + "/xdg/tumblecast/corvane.ini"), "[Options]\nQuickSlots=1\n");
        EXPECT_EQ(folderEntries(installed.path()), QStringList());
    });
}

// A profile made while its folder was writable stays there when the folder turns read-only, and is then
// rewritten in place: no lock or temporary file can be made beside it, and a stale lock there is passed by.
// (Export shows the in-place writer's full disk: it is the same writer.)
TEST(ProfileFile, ProfileInAReadOnlyFolderIsWrittenInPlace)
{
    asPlayer([] {
        QTemporaryDir program;
        const QString dir = program.path();
        EXPECT_EQ(WriteProfileValue(dir, "Slot1", "Caption", "Longsword"), std::nullopt);
        writeStaleLock(dir + "/corvane.ini.lock");
        setMode(dir, 0555);
        EXPECT_EQ(WriteProfileValue(dir, "Slot1", "Caption", "Bow"), std::nullopt);
        EXPECT_EQ(readFile(dir + "/corvane.ini"), "[Slot1]\nCaption=Bow\n");
        EXPECT_EQ(folderEntries(dir), (QStringList{"corvane.ini", "corvane.ini.lock"}));
        setMode(dir, 0700);
    });
}

// A copy run by root must not hand the player's profile over to root, nor open it to others.
TEST(ProfileFile, RewriteKeepsOwnerGroupAndPermissions)
{
    RecordingPlatform platform;
    const QString path = ProfilePath(platform.executableDir());
    writeFile(path, "[Options]\nQuickSlots=1\n");
    setMode(path, 0640);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(QFile::encodeName(path), kPlayer, kPlayer), 0);
    }
    EXPECT_EQ(WriteProfileValue(platform.executableDir(), "Options", "QuickSlots", "0"), std::nullopt);
    struct stat info;
    ASSERT_EQ(stat(QFile::encodeName(path), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(std::pair(info.st_uid, info.st_gid), std::pair(kPlayer, gid_t(kPlayer)));
    }
}

// Each copy adds its own keys; with the read-modify-write unguarded, one copy's rename drops the other's
// keys. (The lock of a killed copy is taken over: without that the kill test would wait on every round.)
TEST(ProfileFile, TwoCopiesWritingAtOnceLoseNothing)
{
    RecordingPlatform platform(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                         : QString());
    const QString dir = platform.executableDir();
    constexpr int kWrites = 300;
    pid_t children[2];
    for (int copy = 0; copy < 2; ++copy) {
        children[copy] = fork();
        ASSERT_GE(children[copy], 0);
        if (children[copy] == 0) {
            int failed = 0;
            for (int i = 0; i < kWrites; ++i)
                failed +=
                    WriteProfileValue(dir, QStringLiteral("S%1").arg(copy), QStringLiteral("K%1").arg(i), "x")
                        .has_value();
            _exit(failed);
        }
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const QByteArray content = readFile(ProfilePath(dir));
    int found = 0;
    for (int copy = 0; copy < 2; ++copy)
        for (int i = 0; i < kWrites; ++i)
            found += ini::readValue(content, QStringLiteral("S%1").arg(copy), QStringLiteral("K%1").arg(i))
                         .has_value();
    EXPECT_EQ(found, 2 * kWrites);
    EXPECT_TRUE(test::filesBesideTheProfile(dir).isEmpty());
}

}  // namespace
}  // namespace tumblecast

namespace tumblecast {
namespace {

// What stands at the lock's path and cannot be taken over ends the write at once, with one message that
// says why; nothing there is opened so that it could block, and nothing that is not ours is removed.
TEST(ProfileLock, WhatCannotBeTakenOverEndsInOneMessage)
{
    RecordingPlatform platform;
    const QString dir = platform.executableDir();
    const QString lock = ProfilePath(dir) + ".lock";
    const auto reason = [](const QString& program) {
        return WriteProfileValue(program, "Options", "QuickSlots", "1").value_or(ProfileError()).reason;
    };
    ASSERT_TRUE(QDir(dir).mkdir("corvane.ini.lock"));
    EXPECT_EQ(reason(dir), QStringLiteral("its lock %1 is a folder").arg(lock));
    ASSERT_TRUE(QDir(dir).rmdir("corvane.ini.lock"));
    ASSERT_EQ(mkfifo(QFile::encodeName(lock).constData(), 0600), 0);
    EXPECT_EQ(reason(dir), QStringLiteral("its lock %1 is not a regular file").arg(lock));
    EXPECT_FALSE(QFileInfo(lock).isFile() || !QFileInfo::exists(lock));

    // Another user's stale lock in a shared folder whose sticky bit keeps it from us.
    if (geteuid() == 0) {
        QTemporaryDir shared;
        setMode(shared.path(), 01777);
        writeStaleLock(shared.path() + "/corvane.ini.lock");
        asPlayer([&] {
            EXPECT_EQ(reason(shared.path()),
                      QStringLiteral("cannot remove the stale lock %1 (Operation not permitted)")
                          .arg(shared.path() + "/corvane.ini.lock"));
        });
    }
}

// However old its lock looks, a live holder keeps it: the waiter gives up with a message, and goes in once
// it is released. (A killed copy's lock is taken over at once: the kill test above relies on it.)
TEST(ProfileLock, LiveHoldersLockIsNeverBroken)
{
    RecordingPlatform platform;
    const QString dir = platform.executableDir();
    files::LockFile holder(ProfilePath(dir) + ".lock");
    ASSERT_EQ(holder.acquire(), std::nullopt);
    writeStaleLock(ProfilePath(dir) + ".lock");  // named for a dead process, and old; its flock is held
    EXPECT_EQ(WriteProfileValue(dir, "Options", "QuickSlots", "1").value_or(ProfileError()).reason,
              "locked by another copy of the program");
    EXPECT_TRUE(QFileInfo(ProfilePath(dir) + ".lock").isFile());
    EXPECT_FALSE(ProfileExists(dir));
    holder.release();
    EXPECT_EQ(WriteProfileValue(dir, "Options", "QuickSlots", "1"), std::nullopt);
    EXPECT_TRUE(test::filesBesideTheProfile(dir).isEmpty());
}

}  // namespace
}  // namespace tumblecast
