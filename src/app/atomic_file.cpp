#include "app/atomic_file.h"

#include "app/cp1252.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

namespace pravenor::app {

namespace {

// Unique to this process and save, so that neither a leftover of a crashed save nor a
// second program saving the same file can get in the way.
std::filesystem::path temporaryPathFor(const std::filesystem::path& path)
{
    static std::atomic<unsigned> counter{0};
#ifdef _WIN32
    const long long pid = _getpid();
#else
    const long long pid = ::getpid();
#endif
    std::filesystem::path temp = path;
    temp += ".saving-" + std::to_string(pid) + "-" + std::to_string(counter++);
    return temp;
}

bool flushToDisk(std::FILE* file)
{
    if (std::fflush(file) != 0)
        return false;
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

std::string describe(const std::filesystem::path& path, const std::string& reason)
{
    return "Cannot save " + PathText(path) + ": " + reason;
}

SaveResult writeTemporary(const std::filesystem::path& temp, std::string_view content, int& openErrno)
{
    openErrno = 0;
#ifdef _WIN32
    std::FILE* file = _wfopen(temp.c_str(), L"wb");
#else
    std::FILE* file = std::fopen(temp.c_str(), "wb");
#endif
    if (file == nullptr) {
        openErrno = errno;
        return {false, std::strerror(openErrno)};
    }
    const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    const int writeErrno = errno;
    const bool flushed = written && flushToDisk(file);
    const int flushErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !flushed || !closed) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return {false, std::strerror(!written ? writeErrno : flushErrno)};
    }
    return {};
}

} // namespace

SaveResult WriteFileReplacing(const std::filesystem::path& path, std::string_view content)
{
    const std::filesystem::path temp = temporaryPathFor(path);
    int openErrno = 0;
    SaveResult result = writeTemporary(temp, content, openErrno);
    if (!result.ok && openErrno == ENOENT)
        result = writeTemporary(temp, content, openErrno);
    if (!result.ok)
        return {false, describe(path, result.error)};

    std::error_code error;
    std::filesystem::rename(temp, path, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return {false, describe(path, error.message())};
    }
    return {};
}

} // namespace pravenor::app
