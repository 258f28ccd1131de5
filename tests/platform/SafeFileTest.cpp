// Crash-safe replacement of a file.
#include "CMorSafeFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int entries(const std::string& dir)
{
    int count = 0;
    DIR* d = opendir(dir.c_str());
    while (dirent* e = readdir(d))
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
            ++count;
    closedir(d);
    return count;
}

class SafeFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/morvex-safe-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        path = dir + "/diagram.fnc";
    }
    void TearDown() override
    {
        chmod(dir.c_str(), 0700);
        unlink(path.c_str());
        rmdir(dir.c_str());
    }
    std::string dir;
    std::string path;
};

} // namespace

TEST_F(SafeFileTest, ReplacesContentAndKeepsPermissions)
{
    std::ofstream(path) << "old";
    chmod(path.c_str(), 0640);
    std::string error;
    ASSERT_TRUE(CMorSafeFile::write(path, "new content\n", error)) << error;
    EXPECT_EQ(readFile(path), "new content\n");
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(dir), 1);
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
    std::string error;
    const bool written = CMorSafeFile::write(path, std::string(5000, 'x'), error);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_NE(error.find("Cannot write " + path), std::string::npos) << error;
    EXPECT_EQ(readFile(path), "original");
    EXPECT_EQ(entries(dir), 1);
}

TEST_F(SafeFileTest, MissingDirectoryIsReported)
{
    std::string error;
    EXPECT_FALSE(CMorSafeFile::write(dir + "/no/such/dir/x.fnc", "x", error));
    EXPECT_FALSE(error.empty());
}

TEST_F(SafeFileTest, RenamingOntoADirectoryFailsCleanly)
{
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
    std::string error;
    EXPECT_FALSE(CMorSafeFile::write(path, "x", error));
    EXPECT_NE(error.find("Cannot replace"), std::string::npos) << error;
    EXPECT_EQ(entries(dir), 1);
    rmdir(path.c_str());
}
