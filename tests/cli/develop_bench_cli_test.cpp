// `qlx bench develop`: the RAW engine timed in the process, and cancelled
// part-way.

#include "cli/qlx_runner.h"
#include "support/samples_gtest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace qlx::test;

const std::string kChart = "raw-full/colorchart.dng";

void expectFigures(const std::string& out, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        EXPECT_NE(("\n" + out).find("\n" + std::string(name) + "\t"), std::string::npos) << name << "\n" << out;
}

TEST(QlxBenchDevelop, PrintsTheTimeAndMemoryOfADevelopment)
{
    QLX_NEED_SAMPLES(kChart);
    const CommandOutcome run = runQlx("bench develop --mode 3 --repeat 2 " + quoted(samplesDir() / kChart));
    ASSERT_EQ(run.exitCode, 0) << run.out;
    expectLines(run.out, {"mode\t3", "size\t217x145", "repeat\t2"});
    expectFigures(run.out, {"ms mean", "ms fastest", "peak resident MiB"});
}

TEST(QlxBenchDevelop, CancelAfterStopsDevelopments)
{
    QLX_NEED_SAMPLES(kChart);
    // A request one millisecond in comes while the file is still being read.
    const CommandOutcome run = runQlx("bench develop --mode 1 --cancel-after 1 " + quoted(samplesDir() / kChart));
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("\tcancelled\n"), std::string::npos) << run.out;
    expectFigures(run.out, {"cancelled", "cancel latency worst ms"});
}

} // namespace
