#include <gtest/gtest.h>

#include <dirent.h>
#include <cmath>
#include <random>
#include <stdexcept>
#include <string>

#include "engine/philox_source.h"
#include "engine/roll_record.h"
#include "engine/text_source.h"
#include "plain_record.h"
#include "scripted_source.h"

using namespace tumblecast;

namespace {

const PhiloxSource philox;

// The record as a run rolled die by die writes it, from generator value first on.
BufferSource plainRecord(const RollRequest& request, std::uint64_t first)
{
    BufferSource plain;
    plain.append(test::plainRecord(request, philox, first));
    return plain;
}

std::size_t threadCount()
{
    std::size_t count = 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (const dirent* entry = readdir(tasks)) count += entry->d_name[0] != '.';
        closedir(tasks);
    }
    return count;
}

RollRequest randomRequest(std::mt19937_64& random, std::uint64_t maxDice, std::uint64_t maxTimes)
{
    // Sides around powers of ten move the digit counts of dice and sums.
    const std::uint64_t sides[] = {1, 2, 6, 9, 10, 11, 99, 100, 1000, 999998, kSidesLimit - 1};
    RollRequest request;
    request.dice = 1 + random() % maxDice;
    request.sides = sides[random() % std::size(sides)];
    request.perDie = random() % 2 == 0;
    request.modify = random() % 2 == 0 ? 1 + random() % 9 : 1 + random() % 999999;
    request.modifyText = std::to_string(request.modify);
    if (random() % 3 == 0) {
        request.totalModify = 1 + random() % 999999;
        request.totalModifyText = std::to_string(request.totalModify);
    }
    request.times = 1 + random() % maxTimes;
    return request;
}

std::string streamed(const TextSource& text, std::uint64_t offset, std::uint64_t length,
                     std::uint64_t& pieces)
{
    std::string out;
    pieces = 0;
    text.forEachPiece(TextOffset(offset), length, [&](std::string_view piece) {
        EXPECT_FALSE(piece.empty());
        EXPECT_LE(piece.size(), 2 * TextSource::kPieceBytes);
        out += piece;
        ++pieces;
    });
    return out;
}

}  // namespace

// Small records, every line and every offset, asked for in three orders: line by line from the top, a
// whole stream first (which measures repetitions as it goes), and the end first.
TEST(RollRecord, SmallRecordsMatchTheRolledTextEverywhere)
{
    std::mt19937_64 random(20240611);
    for (int round = 0; round < 40; ++round) {
        const RollRequest request = randomRequest(random, round % 2 == 0 ? 40 : 2600, 4);
        const std::uint64_t first = random() % 1000003;
        SCOPED_TRACE(testing::Message() << "round " << round);  // the seed above makes it again
        const BufferSource plain = plainRecord(request, first);
        const std::string& text = plain.text();

        const RollRecord topDown(request, philox, first);
        ASSERT_EQ(topDown.lineCount(), plain.lineCount());
        for (std::uint64_t k = 0; k < plain.lineCount(); ++k) {
            ASSERT_EQ(topDown.lineStart(LineNumber(k)), plain.lineStart(LineNumber(k))) << k;
            ASSERT_EQ(topDown.lineLength(LineNumber(k)), plain.lineLength(LineNumber(k))) << k;
        }
        EXPECT_EQ(topDown.size(), plain.size());
        EXPECT_GE(topDown.longestLine(), plain.longestLine());
        for (std::uint64_t offset = 0; offset <= text.size(); offset += text.size() < 60000 ? 1 : 7)
            ASSERT_EQ(topDown.lineAt(TextOffset(offset)), plain.lineAt(TextOffset(offset))) << offset;

        const RollRecord streamedFirst(request, philox, first);
        std::uint64_t pieces = 0;
        ASSERT_EQ(streamed(streamedFirst, 0, ~0ull, pieces), text);
        EXPECT_EQ(streamedFirst.size(), plain.size());
        for (std::uint64_t r = 0; r < request.times; ++r) {
            const std::uint64_t k = r * (request.dice + 4) + request.dice + 1;  // the total line
            EXPECT_EQ(streamedFirst.line(LineNumber(k)), plain.line(LineNumber(k)));
        }

        const RollRecord endFirst(request, philox, first);
        const TextOffset end(text.size());
        EXPECT_EQ(endFirst.lineAt(end - 3), plain.lineAt(end - 3));
        EXPECT_EQ(endFirst.lineAt(end), LineNumber(plain.lineCount() - 1));
        EXPECT_EQ(endFirst.slice(end - 40, 100), text.substr(text.size() - 40));
        for (int i = 0; i < 200; ++i) {
            const TextOffset offset(random() % (text.size() + 2));
            const std::uint64_t length = random() % 3 == 0 ? random() % 100 : random() % (text.size() + 10);
            ASSERT_EQ(endFirst.slice(offset, length), plain.slice(offset, length))
                << offset.value << "+" << length;
        }
    }
}

// A record of 10 million characters, by samples: lines and slices on both sides of every index block and
// repetition boundary, and slices that span several repetitions.
TEST(RollRecord, LargeRecordMatchesAtBlockAndRepetitionBoundaries)
{
    const RollRequest request = largestRequest(16);
    const std::uint64_t first = 123457;
    const BufferSource plain = plainRecord(request, first);
    const RollRecord record(request, philox, first);
    const std::uint64_t perRep = request.dice + 4;
    for (std::uint64_t r = 0; r < request.times; r += 3) {  // 0 to 15: the last one too
        for (std::uint64_t j = RecordDice::kBlockDice; j < perRep; j += RecordDice::kBlockDice) {
            for (const LineNumber k : {LineNumber(r * perRep + j - 1), LineNumber(r * perRep + j)}) {
                ASSERT_EQ(record.lineStart(k), plain.lineStart(k)) << k.value;
                ASSERT_EQ(record.line(k), plain.line(k)) << k.value;
            }
            // A selection across the boundary of two blocks.
            const TextOffset mid = plain.lineStart(LineNumber(r * perRep + j));
            EXPECT_EQ(record.slice(mid - 50, 100), plain.slice(mid - 50, 100));
            EXPECT_EQ(record.lineAt(mid - 1), plain.lineAt(mid - 1));
        }
        for (std::uint64_t n = (r + 1) * perRep - 6; n < std::min((r + 1) * perRep + 2, plain.lineCount());
             ++n) {
            const LineNumber k(n);
            ASSERT_EQ(record.line(k), plain.line(k)) << n;
            ASSERT_EQ(record.lineAt(plain.lineStart(k) + 1), plain.lineAt(plain.lineStart(k) + 1)) << n;
        }
    }
    const TextOffset spanStart = plain.lineStart(LineNumber(2 * perRep - 10));
    const std::uint64_t spanLength =
        plain.lineStart(LineNumber(11 * perRep + 3)) - spanStart;  // about 2.3 MB
    std::uint64_t pieces = 0;
    EXPECT_EQ(streamed(record, spanStart.value, spanLength, pieces), plain.slice(spanStart, spanLength));
    EXPECT_GT(pieces, 1u);
    EXPECT_EQ(streamed(record, 0, ~0ull, pieces), plain.text());
    EXPECT_EQ(record.size(), plain.size());
}

// The largest roll the fields allow: 100 million lines, found without storing them. Its last repetition is
// rolled on its own from its first counter and must be the record's tail.
TEST(RollRecord, LargestRollEndsAsItsLastRepetitionWouldBeRolled)
{
    const RollRecord record(largestRequest(9999), philox, 0);
    ASSERT_EQ(record.lineCount(), 9999ull * 10003 + 1);

    const BufferSource last = plainRecord(largestRequest(1), 9998ull * 9999);
    const std::uint64_t size = record.size();
    EXPECT_GT(size, 2'500'000'000ull);
    const TextOffset end(size);
    const LineNumber lastLine(record.lineCount() - 1);
    EXPECT_EQ(record.slice(end - last.size(), last.size()), last.text());
    EXPECT_EQ(record.lineAt(end), lastLine);
    EXPECT_EQ(record.lineAt(end - 1), lastLine - 1);
    EXPECT_EQ(record.line(lastLine - 3), last.line(LineNumber(last.lineCount() - 4)));  // the total line
    EXPECT_EQ(record.lineStart(lastLine - 10003), end - last.size());
    EXPECT_EQ(record.lineAt(end - last.size()), lastLine - 10003);
    EXPECT_GE(record.longestLine(), 40u);
}

// Faces in integers are the faces floor(sides * u + 1) in double, up to both ends; the widest numbers are
// written in full digits.
TEST(RollRecord, FacesAndWidestNumbers)
{
    for (const std::uint64_t sides :
         {std::uint64_t{1}, std::uint64_t{6}, std::uint64_t{999998}, kSidesLimit - 1}) {
        for (const std::uint32_t x : {0u, 1u, 8388608u, 12345677u, 16777215u}) {
            const double u = static_cast<float>(x) / 16777216.0f;
            EXPECT_EQ(dieFace(sides, x),
                      static_cast<std::uint64_t>(std::floor(static_cast<double>(sides) * u + 1)))
                << sides << " " << x;
        }
        if (sides < (1 << 24)) {
            EXPECT_EQ(dieFace(sides, 16777215u), sides);
        }
    }
    const test::ScriptedSource top(999998, std::vector<std::uint64_t>(9999, 999998));
    const RollRecord record(largestRequest(1), top, 0);
    EXPECT_EQ(record.line(LineNumber(0)), "999998 + 999999 = 1999997");
    EXPECT_EQ(record.line(LineNumber(10000)), "Total:19997970003 + 999999 = 19998970002");
    EXPECT_THROW(RollRecord({.dice = 1, .sides = kSidesLimit}, top, 0), std::invalid_argument);
}

// Export onto a full disk: the sink throws partway. The stream ends with the sink's exception, leaves no
// thread behind, and the record streams whole afterwards.
TEST(RollRecord, AStreamWhoseSinkThrowsEndsCleanly)
{
    const RollRequest request = largestRequest(40);
    const RollRecord record(request, philox, 0);
    const std::size_t before = threadCount();
    int pieces = 0;
    EXPECT_THROW(record.forEachPiece(TextOffset(), ~0ull,
                                     [&](std::string_view) {
                                         if (++pieces == 3) throw std::runtime_error("disk full");
                                     }),
                 std::runtime_error);
    EXPECT_EQ(pieces, 3);
    EXPECT_EQ(threadCount(), before);
    std::uint64_t streamed = 0;
    record.forEachPiece(TextOffset(), ~0ull, [&](std::string_view piece) { streamed += piece.size(); });
    EXPECT_EQ(streamed, plainRecord(request, 0).size());
}
