// Replaces a file's content so that a crash, a full disk or a failed write at
// any moment leaves either the old file or the new one, never a mix: the new
// content goes to a temporary file beside the destination, which is renamed
// over it once complete.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

class CMorSafeFile
{
public:
    CMorSafeFile() = default;
    // Removes the temporary unless commit succeeded.
    ~CMorSafeFile();
    CMorSafeFile(const CMorSafeFile&) = delete;
    CMorSafeFile& operator=(const CMorSafeFile&) = delete;

    // Creates the temporary beside path, or beside the file a symbolic link
    // at path leads to (the link stays a link; its target gets the content),
    // named with path's extension and with the old file's permissions. A
    // destination that is no regular file (a device, a pipe) is written
    // directly. False with a sentence naming path in error.
    bool begin(const std::string& path, std::string& error);
    // A buffered stream into the temporary; borrowed, valid until commit or
    // abort. Failed writes are remembered for getWriteError and commit.
    FILE* getStream();
    // The file being written, for a program that writes the content itself:
    // the temporary (it exists, empty, from begin to commit or abort), or the
    // destination when that is written directly.
    const std::string& getWritingPath() const { return m_temporary.empty() ? m_target : m_temporary; }
    // Why a write into the stream failed, as a sentence naming the
    // destination; empty while none failed.
    std::string getWriteError() const;
    // Flushes the content to disk and renames the temporary over the
    // destination. False with a sentence in error; then nothing is replaced
    // and the temporary is gone.
    bool commit(std::string& error);
    // Removes the temporary; the destination stays as it was.
    void abort();

    // The whole content in one call, through begin and commit.
    static bool write(const std::string& path, const std::string& content, std::string& error);
    static bool write(const std::string& path, const void* data, size_t size, std::string& error);

    // The cause of a failed file operation in words ("no space left on the
    // device", "the file is too large").
    static std::string describe(int error);
    // A file-size limit then makes write fail with EFBIG, like a full disk,
    // instead of a signal ending the program with a truncated file.
    static void ignoreFileSizeSignal();

private:
    static ssize_t writeCookie(void* cookie, const char* data, size_t size);
    bool fail(const std::string& what, int error, std::string& message);

    std::string m_path;      // as the caller named it, for messages
    std::string m_target;    // the file that is replaced
    std::string m_temporary; // empty when writing directly
    int m_fd = -1;
    FILE* m_stream = nullptr;
    int m_writeErrno = 0;
};
