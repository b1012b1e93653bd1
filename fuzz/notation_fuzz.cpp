// libFuzzer target for dice notation and the roller's arguments.
#include <cstdio>
#include <cstdlib>

#include "notation_properties.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (const auto failure = tumblecast::fuzz::checkNotationInput(data, size)) {
        std::fprintf(stderr, "notation property broken: %s\n", failure->c_str());
        std::abort();
    }
    return 0;
}
