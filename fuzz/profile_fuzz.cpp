// libFuzzer target for the profile's reader and writer.
#include <cstdio>
#include <cstdlib>

#include "profile_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (const auto failure = tumblecast::fuzz::checkProfileInput(data, size)) {
        std::fprintf(stderr, "profile property broken: %s\n", failure->c_str());
        std::abort();
    }
    return 0;
}
