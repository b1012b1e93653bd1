#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>

#include "files/safe_file.h"
#include "recording_platform.h"

namespace tumblecast::files {
namespace {

using test::readFile;
using test::writeFile;

void makeOld(const QString& path)
{
    struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(path).constData(), old, 0), 0);
}

// A small file of the program's own is made, then replaced whole. Temporary files a killed copy left beside
// it go; one in use (held, or just made), and anything not named like ours, stay.
TEST(ReplaceTextFile, CreatesReplacesAndClearsAKilledCopysLeftovers)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("recent.txt");
    EXPECT_EQ(replaceTextFile(path, "3d6\n"), std::nullopt);
    EXPECT_EQ(readFile(path), "3d6\n");

    const QString killed = path + ".tmpk1ll3d", killedLock = path + ".lock.tmpk1ll3d";
    const QString held = path + ".tmph3ld", fresh = path + ".tmpfr3sh", other = dir.filePath("recent.tmpx");
    for (const QString& name : {killed, killedLock, held, fresh, other}) writeFile(name, "half");
    for (const QString& name : {killed, killedLock, held, other}) makeOld(name);
    const int holder = open(QFile::encodeName(held).constData(), O_RDONLY);
    ASSERT_EQ(flock(holder, LOCK_EX), 0);
    const pid_t writer = fork();  // another process, as flock locks belong to the open file, not the process
    ASSERT_GE(writer, 0);
    if (writer == 0) _exit(replaceTextFile(path, "2d20\n1d4\n") ? 1 : 0);
    int status = 0;
    ASSERT_EQ(waitpid(writer, &status, 0), writer);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    close(holder);
    EXPECT_EQ(readFile(path), "2d20\n1d4\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"recent.tmpx", "recent.txt", "recent.txt.tmpfr3sh", "recent.txt.tmph3ld"}));

    // What cannot be written says why, and leaves what is there.
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.txt"));
    EXPECT_EQ(replaceTextFile(dir.filePath("folder.txt"), "x").value_or(FileError()).reason,
              "Is a directory");
}

}  // namespace
}  // namespace tumblecast::files
