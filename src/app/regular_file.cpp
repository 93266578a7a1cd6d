#include "app/regular_file.h"

#include <cstdio>

#ifdef _WIN32
#include <system_error>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pravenor::app {

#ifndef _WIN32

namespace {

// Opening without blocking and then asking the open descriptor what it is leaves no gap
// between the check and the use: a FIFO opens at once in this mode and is then refused.
int openRegular(const std::filesystem::path& path, int flags, struct stat& info)
{
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

FileContent ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes)
{
    FileContent result;
    struct stat info
    {
    };
    const int fd = openRegular(path, O_RDONLY, info);
    if (fd < 0)
        return result;
    if (info.st_size > 0 && static_cast<std::size_t>(info.st_size) > maxBytes) {
        ::close(fd);
        result.status = FileReadStatus::TooLarge;
        return result;
    }
    result.bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            ::close(fd);
            result.bytes.clear();
            return result;
        }
        if (count == 0)
            break;
        // The file may grow while it is read.
        if (result.bytes.size() + static_cast<std::size_t>(count) > maxBytes) {
            ::close(fd);
            result.bytes.clear();
            result.status = FileReadStatus::TooLarge;
            return result;
        }
        result.bytes.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(fd);
    result.status = FileReadStatus::Read;
    return result;
}

bool AppendToRegularFile(const std::filesystem::path& path, std::string_view bytes)
{
    struct stat info
    {
    };
    const int fd = openRegular(path, O_WRONLY | O_APPEND | O_CREAT, info);
    if (fd < 0)
        return false;
    const bool written = WriteAll(fd, bytes);
    return ::close(fd) == 0 && written;
}

bool WriteAll(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        done += static_cast<std::size_t>(count);
    }
    return true;
}

#else

// Windows has no FIFOs in the file system, and its devices have no paths a user would pick;
// the check before opening is enough there.
FileContent ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes)
{
    FileContent result;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return result;
    std::FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr)
        return result;
    char buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (result.bytes.size() + count > maxBytes) {
            std::fclose(file);
            result.bytes.clear();
            result.status = FileReadStatus::TooLarge;
            return result;
        }
        result.bytes.append(buffer, count);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        result.bytes.clear();
        return result;
    }
    result.status = FileReadStatus::Read;
    return result;
}

bool AppendToRegularFile(const std::filesystem::path& path, std::string_view bytes)
{
    std::error_code error;
    if (std::filesystem::exists(path, error) && !std::filesystem::is_regular_file(path, error))
        return false;
    std::FILE* out = _wfopen(path.c_str(), L"ab");
    if (out == nullptr)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written;
}

#endif

std::string MaxFileSizeText()
{
    return std::to_string(kMaxFileBytes / (1024 * 1024)) + " MiB";
}

} // namespace pravenor::app
