#include <gtest/gtest.h>

#include "engine/text_source.h"

using tumblecast::BufferSource;
using tumblecast::LineNumber;
using tumblecast::TextOffset;

TEST(BufferSource, IndexesLinesAcrossAppendsThatSplitLineEnds)
{
    BufferSource text;
    EXPECT_EQ(text.lineCount(), 1u);
    EXPECT_TRUE(text.empty());

    // A CR LF split over two appends, and an append that holds several lines.
    for (const char* piece : {"3 + 1 = 4\r", "\n5 + 1 = 6\r\n", "\r\nTotal:10 + 2 = 12\r\n", "--\r\n\r\n"})
        text.append(piece);
    const char* const lines[] = {"3 + 1 = 4", "5 + 1 = 6", "", "Total:10 + 2 = 12", "--", "", ""};
    ASSERT_EQ(text.lineCount(), std::size(lines));
    for (std::size_t k = 0; k < std::size(lines); ++k) EXPECT_EQ(text.line(LineNumber(k)), lines[k]) << k;
    EXPECT_EQ(text.longestLine(), 17u);
    // The LF at 10 still belongs to line 0; the end of the text is in the last line.
    for (const auto& [offset, line] :
         {std::pair<std::uint64_t, std::uint64_t>{0, 0}, {10, 0}, {11, 1}, {49, 6}})
        EXPECT_EQ(text.lineAt(TextOffset(offset)), LineNumber(line)) << offset;
    EXPECT_EQ(text.slice(TextOffset(9), 4), "\r\n5 ");
    EXPECT_EQ(text.slice(TextOffset(text.size() - 2), 10), "\r\n");
    EXPECT_EQ(text.slice(TextOffset(text.size()), 1), "");

    text.clear();
    EXPECT_EQ(text.lineCount(), 1u);
    EXPECT_EQ(text.longestLine(), 0u);
}
