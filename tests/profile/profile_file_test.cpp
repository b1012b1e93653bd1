#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>

#include "profile/ini_text.h"
#include "profile/profile_file.h"
#include "recording_platform.h"

namespace tumblecast {
namespace {

using test::readFile;
using test::RecordingPlatform;
using test::writeFile;

TEST(ProfileFile, ReadsAndWritesBesideTheExecutable)
{
    RecordingPlatform platform;
    EXPECT_EQ(ProfilePath(platform), platform.executableDir() + "/corvane.ini");
    EXPECT_FALSE(ProfileExists(platform));
    EXPECT_EQ(ReadProfileValue(platform, "Slot1", "Caption", QString(60, u'd')), QString(49, u'd'));

    EXPECT_TRUE(WriteProfileValue(platform, "Slot3", "Caption", QString(60, u'c')));
    EXPECT_TRUE(ProfileExists(platform));
    EXPECT_EQ(readFile(ProfilePath(platform)), "[Slot3]\nCaption=" + QByteArray(60, 'c') + "\n");
    EXPECT_EQ(ReadProfileValue(platform, "Slot3", "Caption", "x"), QString(49, u'c'));

    // A hand edit between two operations is seen by the next one: nothing is cached.
    writeFile(ProfilePath(platform), "[Slot3]\nDice=  12  \n");
    EXPECT_EQ(ReadProfileValue(platform, "Slot3", "Dice", ""), "12");
    EXPECT_TRUE(test::filesBesideTheProfile(platform.executableDir()).isEmpty());
}

TEST(ProfileFile, DirectoryOfThatNameCountsAsMissing)
{
    RecordingPlatform platform;
    ASSERT_TRUE(QDir(platform.executableDir()).mkdir("corvane.ini"));
    EXPECT_FALSE(ProfileExists(platform));
    EXPECT_EQ(ReadProfileValue(platform, "Options", "QuickSlots", "d"), "d");
    EXPECT_FALSE(WriteProfileValue(platform, "Options", "QuickSlots", "1"));
    EXPECT_TRUE(QFileInfo(ProfilePath(platform)).isDir());
}

TEST(ProfileFile, SymbolicLinkIsWrittenThroughToItsTarget)
{
    RecordingPlatform platform;
    const QString target = platform.executableDir() + "/real.ini";
    writeFile(target, "[Options]\nQuickSlots=1\n");
    ASSERT_TRUE(QFile::link("real.ini", ProfilePath(platform)));
    EXPECT_TRUE(WriteProfileValue(platform, "Options", "QuickSlots", "0"));
    EXPECT_TRUE(QFileInfo(ProfilePath(platform)).isSymLink());
    EXPECT_EQ(readFile(target), "[Options]\nQuickSlots=0\n");
}

TEST(ProfileFile, WindowsProfileKeepsItsLineEndsAndBytes)
{
    RecordingPlatform platform;
    const QByteArray original = readFile(QStringLiteral(PROFILE_DATA_DIR "/windows.ini"));
    writeFile(ProfilePath(platform), original);
    EXPECT_EQ(ReadProfileValue(platform, "Slot1", "Caption", ""), u"Café €"_qs);
    EXPECT_EQ(ReadProfileValue(platform, "Options", "QuickSlots", ""), "0");

    EXPECT_TRUE(WriteProfileValue(platform, "Slot1", "Sides", "20"));
    EXPECT_TRUE(WriteProfileValue(platform, "Slot1", "Caption", u"Thé"_qs));
    EXPECT_TRUE(WriteProfileValue(platform, "Slot2", "Dice", "4"));
    QByteArray expected = original;
    expected.replace("Sides=6", "Sides=20").replace("Caf\xE9 \x80", "Th\xE9");
    expected += "\r\n[Slot2]\r\nDice=4\r\n";
    EXPECT_EQ(readFile(ProfilePath(platform)), expected);
    EXPECT_EQ(ReadProfileValue(platform, "Slot1", "Caption", ""), u"Thé"_qs);
}

// Neither a file marked read-only (which a rename could still replace) nor one that cannot be read (which
// would be replaced by the new value alone) is written.
TEST(ProfileFile, ReadOnlyOrUnreadableProfileIsLeftAlone)
{
    const QByteArray stored = "[Options]\nQuickSlots=1\n";
    for (const bool readable : {true, false}) {
        if (!readable && geteuid() == 0) continue;  // root reads every file
        RecordingPlatform platform;
        writeFile(ProfilePath(platform), stored);
        QFile::setPermissions(ProfilePath(platform),
                              readable ? QFileDevice::ReadOwner : QFileDevice::WriteOwner);
        EXPECT_EQ(ReadProfileValue(platform, "Options", "QuickSlots", "d"), readable ? "1" : "d");
        EXPECT_FALSE(WriteProfileValue(platform, "Slot1", "Dice", "3"));
        QFile::setPermissions(ProfilePath(platform), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        EXPECT_EQ(readFile(ProfilePath(platform)), stored);
    }
}

// A write that cannot finish (here: the file size limit, as a full disk) leaves the old bytes.
TEST(ProfileFile, FailedWriteLeavesTheOldFile)
{
    RecordingPlatform platform;
    const QByteArray old = "[Slot1]\nCaption=" + QByteArray(200, 'o') + "\n";
    writeFile(ProfilePath(platform), old);
    bool written = true;
    {
        test::FileSizeLimit full(100);
        written = WriteProfileValue(platform, "Slot1", "Caption", QString(300, u'n'));
    }

    EXPECT_FALSE(written);
    EXPECT_EQ(readFile(ProfilePath(platform)), old);
    EXPECT_TRUE(test::filesBesideTheProfile(platform.executableDir()).isEmpty());
}

// A writer killed at any moment leaves a profile that is exactly one of the states it wrote, whole.
TEST(ProfileFile, KilledWriterLeavesOldOrNewFile)
{
    // On a memory file system where there is one: on disk the test spends its time in the sync of every
    // write, and the sync plays no part in what a killed process leaves behind.
    RecordingPlatform platform(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                         : QString());
    const QByteArray base =
        "; hand-written\n[Slot1]\nEnabled=1\nCaption=Dagger\n\n[Slot3]\nCaption=start\n"
        "Dice=2\n\n[Options]\nQuickSlots=1\n";
    writeFile(ProfilePath(platform), base);
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
                WriteProfileValue(platform, "Slot3", "Caption", valueFor(n));
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

        const QString value = ReadProfileValue(platform, "Slot3", "Caption", "");
        const int n = value.mid(1, value.indexOf(u'-') - 1).toInt();
        ASSERT_GT(n, written) << "round " << round;
        ASSERT_EQ(readFile(ProfilePath(platform)), ini::writeValue(base, "Slot3", "Caption", valueFor(n)))
            << "round " << round;
        written = n;
    }
}

}  // namespace
}  // namespace tumblecast
