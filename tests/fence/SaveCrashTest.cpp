// Saving survives the worst moments: a process killed (SIGKILL) anywhere in
// many saves of a large description leaves the old file or the new one,
// complete; a directory that cannot be written to is reported and the file
// stays as it was.
#include "CFenceDescription.h"
#include "CFenceDiagram.h"
#include "CTestDiagramDir.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <random>
#include <sstream>

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Fences of many points each, and a legend: a truncation anywhere, even
// at a line end, changes what the file reads as.
std::string largeDescription(int fences, int points)
{
    std::ostringstream out;
    out.precision(17);
    out << "#MORVEX1\n" << fences << "\n";
    for (int f = 0; f < fences; ++f) {
        out << points << "\n";
        for (int p = 0; p < points; ++p)
            out << 512000.25 + p * 1.5 << " " << 6541000.125 + f * 100.0 << " " << 300.0 - 0.001 * p << "\n";
        out << "section.png\nFence-" << f << "\n" << (f % 2) << "\n";
    }
    out << "512000 900 6545000\n513000 200 6541000\n45 10 20000\nsection.png\n10 20\n2 1\n0.25\n";
    return out.str();
}

int countEntries(const std::string& dir)
{
    int count = 0;
    DIR* d = opendir(dir.c_str());
    while (dirent* e = readdir(d))
        if (e->d_name[0] != '.')
            ++count;
    closedir(d);
    return count;
}

class SaveCrashTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir.writePng("section.png", 16, 8, 40, 120, 200);
        path = dir.write("large.fnc", largeDescription(20, 4000));
        camera = new CZelCamera();
        diagram = new CFenceDiagram();
        diagram->setCamera(camera);
        testing::internal::CaptureStdout();
        const bool loaded = diagram->load(path);
        testing::internal::GetCapturedStdout();
        ASSERT_TRUE(loaded) << diagram->getErrorMessage();
    }

    // Camera position (k, round, 7): every save writes a different file.
    bool save(int k, int round)
    {
        camera->setPosition(k, round, 7.0);
        camera->setTarget(0.0, 0.0, 0.0);
        return diagram->save(path);
    }

    CTestDiagramDir dir;
    std::string path;
    CZelPointer<CZelCamera> camera;
    CZelPointer<CFenceDiagram> diagram;
};

} // namespace

TEST_F(SaveCrashTest, AKillAtAnyMomentLeavesTheOldOrTheNewFileComplete)
{
    const std::string original = readFile(path);
    CFenceDescription reference;
    std::string error;
    ASSERT_TRUE(reference.parse(original, path, error)) << error;

    testing::internal::CaptureStdout();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(save(0, 0)) << diagram->getErrorMessage();
    const auto oneSave = std::chrono::steady_clock::now() - start;
    testing::internal::GetCapturedStdout();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << original;

    const unsigned seed = std::random_device()();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    const long long span = std::chrono::duration_cast<std::chrono::microseconds>(oneSave).count() * 3 + 1000;
    std::uniform_int_distribution<long long> delay(0, span);

    int unchanged = 0;
    int replaced = 0;
    for (int round = 1; round <= 40; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The helper saves for ever; only the kill ends it.
            if (!freopen("/dev/null", "w", stdout))
                _exit(2);
            for (int k = 1;; ++k)
                if (!save(k, round))
                    _exit(3);
        }
        usleep(static_cast<useconds_t>(delay(random)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving process ended by itself, status " << status;

        const std::string text = readFile(path);
        if (text == original) {
            ++unchanged;
            continue;
        }
        // Not the old file: it must be exactly what one complete save writes.
        CFenceDescription saved;
        ASSERT_TRUE(saved.parse(text, path, error)) << "round " << round << ": " << error;
        const double k = saved.cameraPosition[0];
        ASSERT_TRUE(k >= 1 && k == std::floor(k)) << "round " << round;
        ASSERT_EQ(saved.cameraPosition[1], round);
        CFenceDescription expected = reference;
        expected.cameraPosition[0] = k;
        expected.cameraPosition[1] = round;
        expected.cameraPosition[2] = 7.0;
        for (double& t : expected.cameraTarget)
            t = 0.0;
        ASSERT_EQ(text, expected.format()) << "round " << round;
        ++replaced;
        std::ofstream(path, std::ios::binary | std::ios::trunc) << original;
    }
    // Kills fell both before any save was complete and after some were.
    EXPECT_GT(unchanged, 0);
    EXPECT_GT(replaced, 0);
}

TEST_F(SaveCrashTest, AReadOnlyDirectoryIsReportedAndTheFileKept)
{
    const std::string original = readFile(path);
    ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
    // Permissions do not bind root: save as an ordinary user instead.
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(channel[0]);
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(2);
        if (!freopen("/dev/null", "w", stdout))
            _exit(2);
        const bool saved = save(5, 5);
        const std::string message = (saved ? "saved" : "refused: ") + diagram->getErrorMessage();
        if (write(channel[1], message.data(), message.size()) < 0)
            _exit(2);
        _exit(0);
    }
    close(channel[1]);
    std::string message;
    char buffer[512];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;)
        message.append(buffer, static_cast<size_t>(n));
    close(channel[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    chmod(dir.path().c_str(), 0700);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

    EXPECT_EQ(message, "refused: Cannot create a temporary file beside " + path + ": Permission denied.");
    EXPECT_EQ(readFile(path), original);
    EXPECT_EQ(countEntries(dir.path()), 2);
}
