#pragma once

#include <gtest/gtest.h>

#include <string>

namespace tumblecast::test {

// Names each row of a TEST_P table after its `name` member, so a failing row says which one it is.
struct RowName {
    template <class Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& info) const
    {
        std::string name = info.param.name;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    }
};

}  // namespace tumblecast::test
