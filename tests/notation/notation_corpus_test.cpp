#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "notation_properties.h"

// The fuzzer's corpus, replayed with the fuzzer's own property checks.
TEST(NotationFuzzCorpus, Replays)
{
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(NOTATION_CORPUS_DIR)) {
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        const auto failure = tumblecast::fuzz::checkNotationInput(
            reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
        EXPECT_FALSE(failure) << entry.path() << ": " << failure.value_or("");
        ++files;
    }
    EXPECT_GE(files, 20u);
}
