// Safe replacement of a file: the old content stays unless the new one was
// written completely, links lead to the file that gets the content, and no
// temporary file is left behind.
#include "CMorSafeFile.h"
#include "CTestDiagramDir.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <sstream>

namespace {

std::string content(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int entries(const std::string& directory)
{
    int count = 0;
    DIR* d = opendir(directory.c_str());
    while (dirent* e = readdir(d))
        count += std::string(e->d_name) != "." && std::string(e->d_name) != "..";
    closedir(d);
    return count;
}

// Runs body in a child process, so that limits and mounts stay there, and
// returns what it returned.
std::string inChild(const std::function<std::string()>& body)
{
    int channel[2];
    if (pipe(channel) != 0)
        return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        const std::string result = body();
        _exit(write(channel[1], result.data(), result.size()) < 0 ? 2 : 0);
    }
    close(channel[1]);
    std::string result;
    char buffer[512];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<size_t>(n));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? result : "child failed";
}

std::string writeAndTell(const std::string& path, const std::string& text)
{
    std::string error;
    return CMorSafeFile::write(path, text, error) ? "written" : error;
}

} // namespace

// A replaced file keeping its permissions through a link runs in the
// exporter's test of a picture saved through a link.
TEST(SafeFile, ADanglingLinkGetsItsFileAndAnAbortLeavesTheOldContent)
{
    CTestDiagramDir dir;
    std::string error;
    const std::string link = dir.file("link.png");
    ASSERT_EQ(symlink("made.png", link.c_str()), 0);
    ASSERT_TRUE(CMorSafeFile::write(link, "made", error)) << error;
    struct stat st;
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(content(dir.file("made.png")), "made");

    // The temporary is hidden beside the target, with its extension.
    CMorSafeFile file;
    ASSERT_TRUE(file.begin(link, error)) << error;
    const std::string temporary = file.getWritingPath();
    EXPECT_EQ(temporary.rfind(dir.file(".made.saving-"), 0), 0u) << temporary;
    EXPECT_EQ(temporary.substr(temporary.size() - 4), ".png");
    std::fputs("half", file.getStream());
    file.abort();
    EXPECT_EQ(content(dir.file("made.png")), "made");
    EXPECT_EQ(entries(dir.path()), 2) << "the temporary was left";
}

TEST(SafeFile, FailuresNameTheCauseAndLeaveTheOldContent)
{
    CTestDiagramDir dir;
    const std::string path = dir.file("picture.png");
    std::ofstream(path) << "original";
    std::string error;
    EXPECT_FALSE(CMorSafeFile::write(dir.file("no/such/dir/x.fnc"), "x", error));
    EXPECT_EQ(error, "Cannot write " + dir.file("no/such/dir/x.fnc") + ": no such folder.");
    ASSERT_EQ(mkdir(dir.file("folder.png").c_str(), 0700), 0);
    EXPECT_FALSE(CMorSafeFile::write(dir.file("folder.png"), "x", error));
    EXPECT_EQ(error, "Cannot write " + dir.file("folder.png") + ": it is a folder.");
    EXPECT_EQ(content(path), "original");
    EXPECT_EQ(entries(dir.path()), 2);
}

TEST(SafeFile, AFullDiskIsReportedAsSuch)
{
    // A small file system of its own, in a mount namespace that ends with
    // the child; where that is not allowed, the test is skipped.
    CTestDiagramDir dir;
    const std::string mountPoint = dir.file("small");
    ASSERT_EQ(mkdir(mountPoint.c_str(), 0700), 0);
    const std::string result = inChild([&]() -> std::string {
        if (unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0)
            return "skip";
        const std::string path = mountPoint + "/picture.png";
        std::ofstream(path) << "original";
        const std::string told = writeAndTell(path, std::string(256 * 1024, 'x'));
        return told + "|" + content(path) + "|" + std::to_string(entries(mountPoint));
    });
    if (result == "skip")
        GTEST_SKIP() << "no small file system can be mounted here";
    EXPECT_EQ(result, "Cannot write " + mountPoint + "/picture.png: no space left on the device.|original|1");
}
