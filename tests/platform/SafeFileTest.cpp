// Crash-safe replacement of a file: the old content stays unless the new one
// was written completely, and no temporary file is left behind.
#include "CMorSafeFile.h"
#include "CTestDiagramDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class SafeFileTest : public ::testing::Test
{
protected:
    std::string content() const
    {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    int entries() const
    {
        int count = 0;
        DIR* d = opendir(dir.path().c_str());
        while (dirent* e = readdir(d))
            count += std::string(e->d_name) != "." && std::string(e->d_name) != "..";
        closedir(d);
        return count;
    }

    CTestDiagramDir dir;
    std::string path = dir.file("diagram.fnc");
    std::string error;
};

} // namespace

TEST_F(SafeFileTest, ReplacesContentAndKeepsPermissions)
{
    std::ofstream(path) << "old";
    chmod(path.c_str(), 0640);
    ASSERT_TRUE(CMorSafeFile::write(path, "new content\n", error)) << error;
    EXPECT_EQ(content(), "new content\n");
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(), 1);
}

TEST_F(SafeFileTest, AFullDiskLeavesTheOriginalAndNoTemporary)
{
    std::ofstream(path) << "original";
    // A file-size limit makes the write fail part way, as a full disk would.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = CMorSafeFile::write(path, std::string(5000, 'x'), error);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_NE(error.find("Cannot write " + path), std::string::npos) << error;
    EXPECT_EQ(content(), "original");
    EXPECT_EQ(entries(), 1);
}

TEST_F(SafeFileTest, MissingDirectoryOrADirectoryInTheWayFailsCleanly)
{
    EXPECT_FALSE(CMorSafeFile::write(dir.file("no/such/dir/x.fnc"), "x", error));
    EXPECT_FALSE(error.empty());
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
    EXPECT_FALSE(CMorSafeFile::write(path, "x", error));
    EXPECT_NE(error.find("Cannot replace"), std::string::npos) << error;
    EXPECT_EQ(entries(), 1);
}
