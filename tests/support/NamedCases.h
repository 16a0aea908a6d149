// Tables of test cases whose rows carry a `name`: the name becomes the test's
// name. Rows print their name too (a friend PrintTo in each row struct).
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace named_cases {

struct CaseName {
    template <typename T> std::string operator()(const testing::TestParamInfo<T>& row) const {
        return row.param.name;
    }
};

} // namespace named_cases
