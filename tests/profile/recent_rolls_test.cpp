#include <gtest/gtest.h>

#include <QFile>

#include "profile/recent_rolls.h"
#include "recording_platform.h"

using namespace tumblecast;
using test::readFile;
using test::writeFile;

// Newest first, each roll once, twenty at most; a file edited by hand (CR LF, blank lines, a roll twice)
// reads cleanly, and corvane.ini is never touched.
TEST(RecentRolls, KeepsTheLastTwentyNewestFirst)
{
    test::RecordingPlatform platform;
    const QString dir = platform.executableDir();
    EXPECT_EQ(ReadRecentRolls(dir), QStringList());
    writeFile(RecentRollsPath(dir), "1d6\r\n\r\n  2d20kh1+5 \r\n1d6\r\n");
    EXPECT_EQ(ReadRecentRolls(dir), (QStringList{"1d6", "2d20kh1+5"}));

    EXPECT_EQ(RememberRoll(dir, "2d20kh1+5").rolls, (QStringList{"2d20kh1+5", "1d6"}));
    for (int n = 1; n <= 25; ++n) RememberRoll(dir, QStringLiteral("%1d6").arg(n));
    const QStringList kept = ReadRecentRolls(dir);
    ASSERT_EQ(kept.size(), kRecentRolls);
    EXPECT_EQ(kept.first(), QStringLiteral("25d6"));
    EXPECT_EQ(kept.last(), QStringLiteral("6d6"));
    EXPECT_EQ(readFile(RecentRollsPath(dir)).count('\n'), kRecentRolls);
    EXPECT_FALSE(QFile::exists(dir + "/corvane.ini"));
}
