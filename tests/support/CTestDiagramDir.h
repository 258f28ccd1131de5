// A scratch directory for description files and the images they name,
// removed with everything in it when the object goes.
#pragma once

#include <string>

class CTestDiagramDir
{
public:
    CTestDiagramDir();
    ~CTestDiagramDir();
    CTestDiagramDir(const CTestDiagramDir&) = delete;
    CTestDiagramDir& operator=(const CTestDiagramDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    // Writes text to name (subdirectories are made); returns the full path.
    std::string write(const std::string& name, const std::string& text) const;
    // A PNG of one colour; an optional white band of whiteRows rows at the top.
    std::string writePng(const std::string& name, int width, int height, unsigned char r, unsigned char g,
                         unsigned char b, int whiteRows = 0) const;

private:
    std::string m_path;
};
