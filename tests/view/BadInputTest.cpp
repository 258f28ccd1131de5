// The malformed-input corpus in tests/data/bad: every description file and
// image there fails to open with the message listed in expected.txt, leaves
// no diagram behind, and a good file opens and draws right after it.
#include "CMorFrame.h"
#include "CTestDiagramDir.h"
#include "OffscreenContext.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace {

// expected.txt: one "name<TAB>message" a line; {dir} stands for the folder
// the files were opened from.
std::map<std::string, std::string> expectedMessages(const std::string& corpus)
{
    std::map<std::string, std::string> result;
    std::ifstream in(corpus + "/expected.txt");
    std::string line;
    while (std::getline(in, line)) {
        const size_t tab = line.find('\t');
        if (line.empty() || line[0] == '#' || tab == std::string::npos)
            continue;
        result[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return result;
}

std::string withDirectory(std::string message, const std::string& dir)
{
    for (size_t at = message.find("{dir}"); at != std::string::npos; at = message.find("{dir}", at + dir.size()))
        message.replace(at, 5, dir);
    return message;
}

bool isImage(const std::string& name)
{
    const std::string extension = fs::path(name).extension().string();
    return extension == ".png" || extension == ".jpg" || extension == ".bmp";
}

class BadInputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_context = std::make_unique<OffscreenContext>(64, 64);
        ASSERT_TRUE(m_context->isValid()) << m_context->getRenderer();
        testing::internal::CaptureStdout();
        m_frame.initializeFrame(64, 64);
        m_frame.resizeFrame(64, 64);
        testing::internal::GetCapturedStdout();
        m_corpus = std::string(std::getenv("MORVEX_TEST_DATA")) + "/bad";
        fs::copy(m_corpus, m_dir.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        m_good = m_dir.write("good.fnc", "#MORVEX1\n1\n2\n0 0 0\n10 0 0\ngood.png\nGood\n0\n0 0 0\n0 0 0\n45 1 100\n");
    }

    bool open(const std::string& path)
    {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const bool opened = m_frame.open(path);
        testing::internal::GetCapturedStdout();
        testing::internal::GetCapturedStderr();
        return opened;
    }

    // Opens path, which must fail with message, then the good file.
    void expectRefused(const std::string& path, const std::string& message)
    {
        SCOPED_TRACE(path);
        EXPECT_FALSE(open(path));
        EXPECT_EQ(m_frame.getErrorMessage(), message);
        EXPECT_EQ(m_frame.getDiagram(), nullptr);
        EXPECT_EQ(m_frame.getScene()->getComposite()->getSize(), 0);
        m_frame.drawFrame();
        ASSERT_TRUE(open(m_good)) << m_frame.getErrorMessage();
        m_frame.drawFrame();
        EXPECT_EQ(m_frame.getScene()->getComposite()->getSize(), 1);
    }

    std::unique_ptr<OffscreenContext> m_context;
    CMorFrame m_frame;
    CTestDiagramDir m_dir;
    std::string m_corpus;
    std::string m_good;
};

} // namespace

TEST_F(BadInputTest, EveryFileOfTheCorpusFailsWithItsMessage)
{
    const std::map<std::string, std::string> expected = expectedMessages(m_corpus);
    int descriptions = 0;
    int images = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_corpus)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".fnc" || (isImage(name) && name != "good.png")) {
            EXPECT_TRUE(expected.count(name)) << name << " has no expected message";
        }
    }
    for (const auto& [name, message] : expected) {
        std::string path = m_dir.file(name);
        if (isImage(name)) {
            path = m_dir.write("open-" + name + ".fnc",
                               "#MORVEX1\n1\n2\n0 0 0\n10 0 0\n" + name + "\n-\n0\n0 0 0\n0 0 0\n45 1 100\n");
            ++images;
        } else {
            ++descriptions;
        }
        expectRefused(path, withDirectory(message, m_dir.path()));
    }
    EXPECT_GE(descriptions + images, 30);
    EXPECT_GE(images, 10);
}

TEST_F(BadInputTest, NamesThatAreNotFiles)
{
    const std::string fifo = m_dir.file("fifo.fnc");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    expectRefused(fifo, "Cannot open " + fifo + ": it is not a file.");
    expectRefused(m_dir.path(), "Cannot open " + m_dir.path() + ": it is not a file.");
    expectRefused(m_dir.file("none.fnc"), "Cannot open " + m_dir.file("none.fnc") + ": No such file or directory.");
    expectRefused(m_dir.file("good.png/x.fnc"), "Cannot open " + m_dir.file("good.png/x.fnc") + ": Not a directory.");
    // An image name that is a FIFO must not block the reader.
    ASSERT_EQ(mkfifo(m_dir.file("pipe.png").c_str(), 0600), 0);
    const std::string pipe = m_dir.write("pipe.fnc", "#MORVEX1\n1\n2\n0 0 0\n10 0 0\npipe.png\n-\n0\n0 0 0\n0 0 0\n45 1 100\n");
    expectRefused(pipe, "File " + m_dir.file("pipe.png") + " not found.");
}
