#pragma once
// QLX_NEED_SAMPLES(path, ...) in a GoogleTest body or SetUp: skips the test
// when a sample is missing, or fails it where samples are required (CI).

#include "support/test_paths.h"

#include <gtest/gtest.h>

#define QLX_NEED_SAMPLES(...)                                                              \
    if (const std::string qlxMissing_ = ::qlx::test::missingSamples({__VA_ARGS__});        \
        qlxMissing_.empty()) {                                                             \
    } else if (::qlx::test::samplesRequired())                                             \
        FAIL() << qlxMissing_;                                                             \
    else                                                                                   \
        GTEST_SKIP() << qlxMissing_
