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

// A small file of the program's own is made, then replaced whole. Temporary files a killed copy left beside
// it go; one in use (held, or just made), and anything not named like ours, stay.
TEST(ReplaceTextFile, CreatesReplacesAndClearsAKilledCopysLeftovers)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("recent.txt");
    EXPECT_EQ(replaceTextFile(path, "3d6\n"), std::nullopt);
    const QStringList names = {"recent.txt.tmpk1ll3d", "recent.txt.lock.tmpk1ll3d", "recent.txt.tmph3ld",
                               "recent.tmpx", "recent.txt.tmpfr3sh"};
    for (const QString& name : names) {
        test::writeFile(dir.filePath(name), "half");
        const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
        if (name != names.last())
            utimensat(AT_FDCWD, QFile::encodeName(dir.filePath(name)).constData(), old, 0);
    }
    const int holder = open(QFile::encodeName(dir.filePath(names[2])).constData(), O_RDONLY);
    ASSERT_EQ(flock(holder, LOCK_EX), 0);
    EXPECT_EQ(replaceTextFile(path, "2d20\n1d4\n"), std::nullopt);
    close(holder);
    EXPECT_EQ(readFile(path), "2d20\n1d4\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"recent.tmpx", "recent.txt", "recent.txt.tmpfr3sh", "recent.txt.tmph3ld"}));

    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.txt"));
    EXPECT_EQ(replaceTextFile(dir.filePath("folder.txt"), "x").value_or(FileError()).reason,
              "Is a directory");
}

}  // namespace
}  // namespace tumblecast::files
