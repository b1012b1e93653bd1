#include <gtest/gtest.h>

#include "engine/text_source.h"

using tumblecast::BufferSource;

TEST(BufferSource, IndexesLinesAcrossAppendsThatSplitLineEnds)
{
    BufferSource text;
    EXPECT_EQ(text.lineCount(), 1u);
    EXPECT_TRUE(text.empty());

    // A CR LF split over two appends, and an append that holds several lines.
    for (const char* piece : {"3 + 1 = 4\r", "\n5 + 1 = 6\r\n", "\r\nTotal:10 + 2 = 12\r\n", "--\r\n\r\n"})
        text.append(piece);
    ASSERT_EQ(text.lineCount(), 7u);
    EXPECT_EQ(text.line(0), "3 + 1 = 4");
    EXPECT_EQ(text.line(1), "5 + 1 = 6");
    EXPECT_EQ(text.line(2), "");
    EXPECT_EQ(text.line(3), "Total:10 + 2 = 12");
    EXPECT_EQ(text.line(4), "--");
    EXPECT_EQ(text.line(6), "");  // after the closing line end
    EXPECT_EQ(text.longestLine(), 17u);
    EXPECT_EQ(text.lineAt(0), 0u);
    EXPECT_EQ(text.lineAt(10), 0u);  // the LF still belongs to line 0
    EXPECT_EQ(text.lineAt(11), 1u);
    EXPECT_EQ(text.lineAt(text.size()), 6u);
    EXPECT_EQ(text.slice(9, 4), "\r\n5 ");
    EXPECT_EQ(text.slice(text.size() - 2, 10), "\r\n");
    EXPECT_EQ(text.slice(text.size(), 1), "");

    text.clear();
    EXPECT_EQ(text.lineCount(), 1u);
    EXPECT_EQ(text.longestLine(), 0u);
    text.append("no line end");
    EXPECT_EQ(text.line(0), "no line end");
    EXPECT_EQ(text.longestLine(), 11u);
}
