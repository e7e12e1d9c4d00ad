#pragma once
// QLX_NEED_SAMPLES(path, ...) in a QtTest slot: skips the slot when a sample
// is missing, or fails it where samples are required (CI).

#include "support/test_paths.h"

#include <QTest>

#define QLX_NEED_SAMPLES(...)                                                              \
    do {                                                                                   \
        const std::string qlxMissing_ = ::qlx::test::missingSamples({__VA_ARGS__});        \
        if (!qlxMissing_.empty()) {                                                        \
            if (::qlx::test::samplesRequired())                                            \
                QFAIL(qlxMissing_.c_str());                                                \
            QSKIP(qlxMissing_.c_str());                                                    \
        }                                                                                  \
    } while (false)
