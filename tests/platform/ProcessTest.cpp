// Programs run with their output collected.
#include "CMorProcess.h"

#include <gtest/gtest.h>

TEST(Process, CollectsBothOutputsInOrderAndTheExitStatus)
{
    int status = -1;
    std::string output, error;
    ASSERT_TRUE(CMorProcess::runCollecting({"sh", "-c", "echo one; echo two >&2; echo three; exit 3"}, status,
                                           output, error));
    EXPECT_EQ(status, 3);
    EXPECT_EQ(output, "one\ntwo\nthree\n");
    // More than the limit is read to the end, so the program is not blocked, and dropped.
    ASSERT_TRUE(CMorProcess::runCollecting({"sh", "-c", "head -c 3000000 /dev/zero"}, status, output, error));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(output.size(), CMorProcess::OUTPUT_LIMIT);
    EXPECT_FALSE(CMorProcess::runCollecting({"/no/such/program"}, status, output, error));
    EXPECT_FALSE(error.empty());
    // Not beside the test program: left to PATH.
    EXPECT_EQ(CMorProcess::besideSelf("no-such-program"), "no-such-program");
}
