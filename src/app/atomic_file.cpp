#include "app/atomic_file.h"

#include "app/cp1252.h"
#include "app/regular_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pravenor::app {

namespace {

constexpr std::string_view kTemporaryMark = ".saving-";

long long processId()
{
#ifdef _WIN32
    return _getpid();
#else
    return ::getpid();
#endif
}

std::string describe(const std::filesystem::path& path, const std::string& reason)
{
    return "Cannot save " + PathText(path) + ": " + reason;
}

// The file a save really replaces: a link, or a chain of them, is followed to its end, so
// that the link itself stays a link. A link that points nowhere names the file to create.
std::optional<std::filesystem::path> finalTarget(const std::filesystem::path& path,
                                                 std::error_code& error)
{
    std::filesystem::path target = path;
    for (int hop = 0; hop < 40; ++hop) {
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(target, error)))
            return target;
        const std::filesystem::path next = std::filesystem::read_symlink(target, error);
        if (error)
            return std::nullopt;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return std::nullopt;
}

// Whether the process that made a leftover may still be saving with it.
bool processMayExist(long long pid)
{
#ifdef _WIN32
    (void)pid;
    return true; // no cheap, reliable check here: leftovers are left alone
#else
    if (pid <= 0 || pid == processId())
        return true;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
#endif
}

// A save killed between creating its temporary file and renaming it leaves NAME.saving-PID-N
// behind. Nothing else uses such names, so those whose process has gone are removed.
// A name as UTF-8 bytes, whatever letters it holds (Windows would otherwise convert it to
// its ANSI code page, and fail on a letter that page lacks).
std::string nameText(const std::filesystem::path& name)
{
    const std::u8string utf8 = name.u8string();
    return std::string(utf8.begin(), utf8.end());
}

void removeStaleTemporaries(const std::filesystem::path& target)
{
    const std::string prefix = nameText(target.filename()) + std::string(kTemporaryMark);
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    std::error_code error;
    for (auto it = std::filesystem::directory_iterator(folder, error);
         !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string name = nameText(it->path().filename());
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const char* first = name.data() + prefix.size();
        const char* last = name.data() + name.size();
        long long pid = 0;
        unsigned long long counter = 0;
        const auto [afterPid, pidError] = std::from_chars(first, last, pid);
        if (pidError != std::errc() || afterPid == last || *afterPid != '-')
            continue;
        const auto [end, counterError] = std::from_chars(afterPid + 1, last, counter);
        if (counterError != std::errc() || end != last || processMayExist(pid))
            continue;
        std::error_code ignored;
        if (std::filesystem::is_regular_file(std::filesystem::symlink_status(it->path(), ignored)))
            std::filesystem::remove(it->path(), ignored);
    }
}

#ifdef _WIN32

struct Written
{
    bool ok = false;
    int openErrno = 0;
    std::string error;
};

Written writeTemporary(const std::filesystem::path& temp, std::string_view content)
{
    const int fd = _wopen(temp.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                          _S_IREAD | _S_IWRITE);
    if (fd < 0)
        return {false, errno, std::strerror(errno)};
    bool written = true;
    for (std::size_t done = 0; written && done < content.size();) {
        const std::size_t chunk = std::min<std::size_t>(content.size() - done, 1u << 30);
        const int count = _write(fd, content.data() + done, static_cast<unsigned>(chunk));
        written = count > 0;
        done += written ? static_cast<std::size_t>(count) : 0;
    }
    const int writeErrno = errno;
    const bool flushed = written && _commit(fd) == 0;
    const int flushErrno = errno;
    const bool closed = _close(fd) == 0;
    if (!written || !flushed || !closed) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return {false, 0, std::strerror(!written ? writeErrno : flushErrno)};
    }
    return {true, 0, {}};
}

// Replacing a file that exists is not what a plain rename does on Windows (it refuses); the
// move replaces it in one step, and only returns once the new name is on the disk.
std::error_code moveOver(const std::filesystem::path& temp, const std::filesystem::path& target)
{
    if (MoveFileExW(temp.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {};
    return {static_cast<int>(GetLastError()), std::system_category()};
}

#else

struct Written
{
    bool ok = false;
    int openErrno = 0; // why the temporary file could not be created, 0 when it was
    std::string error;
};

// The new file gets the old one's owner first (changing the owner clears set-id bits) and
// then its permissions: a 0600 file must not come back readable by everyone.
void takeOverAttributes(int fd, const std::optional<struct stat>& old)
{
    if (!old)
        return;
    if (::fchown(fd, old->st_uid, old->st_gid) != 0) {
        // Only root may give a file away; an ordinary user's file keeps its group where
        // the user belongs to it.
        [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), old->st_gid);
    }
    [[maybe_unused]] const int ignored = ::fchmod(fd, old->st_mode & 07777);
}

Written writeTemporary(const std::filesystem::path& temp, std::string_view content,
                       const std::optional<struct stat>& old)
{
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0)
        return {false, errno, std::strerror(errno)};
    takeOverAttributes(fd, old);
    const bool written = WriteAll(fd, content);
    const int writeErrno = errno;
    const bool synced = written && ::fsync(fd) == 0;
    const int syncErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !synced || !closed) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return {false, 0, std::strerror(!written ? writeErrno : syncErrno)};
    }
    return {true, 0, {}};
}

// The last resort when no temporary file may be made: the old way, truncate and write.
// Nothing: the file cannot be opened for writing as a regular file (a FIFO would block). An
// empty text: written. Otherwise why the write failed; the file may then be damaged.
std::optional<std::string> writeInPlace(const std::filesystem::path& target,
                                        std::string_view content)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    const bool written = ::ftruncate(fd, 0) == 0 && WriteAll(fd, content) && ::fsync(fd) == 0;
    const int writeErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed)
        return std::string(std::strerror(!written ? writeErrno : errno));
    return std::string();
}

#endif

} // namespace

std::filesystem::path TemporaryPathFor(const std::filesystem::path& path)
{
    // Unique to this process and save, so that neither a leftover of a crashed save nor a
    // second program saving the same file can get in the way.
    static std::atomic<unsigned> counter{0};
    std::filesystem::path temp = path;
    temp +=
        std::string(kTemporaryMark) + std::to_string(processId()) + "-" + std::to_string(counter++);
    return temp;
}

SaveResult WriteFileReplacing(const std::filesystem::path& path, std::string_view content)
{
    std::error_code error;
    const std::optional<std::filesystem::path> found = finalTarget(path, error);
    if (!found)
        return {false, describe(path, error.message()), {}};
    const std::filesystem::path& target = *found;
    removeStaleTemporaries(target);

    const std::filesystem::path temp = TemporaryPathFor(target);
#ifdef _WIN32
    Written written = writeTemporary(temp, content);
    if (!written.ok && written.openErrno == ENOENT)
        written = writeTemporary(temp, content);
#else
    std::optional<struct stat> old;
    struct stat info
    {
    };
    if (::stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode))
        old = info;
    Written written = writeTemporary(temp, content, old);
    if (!written.ok && written.openErrno == ENOENT)
        written = writeTemporary(temp, content, old);
    if (!written.ok && old && (written.openErrno == EACCES || written.openErrno == EPERM)) {
        if (const std::optional<std::string> inPlace = writeInPlace(target, content)) {
            if (!inPlace->empty())
                return {false, describe(path, *inPlace), {}};
            return {true,
                    {},
                    "Saved " + PathText(target) +
                        " in place: its folder allows no temporary file, so this save was not "
                        "crash-safe."};
        }
    }
#endif
    if (!written.ok)
        return {false, describe(path, written.error), {}};

#ifdef _WIN32
    error = moveOver(temp, target);
#else
    std::filesystem::rename(temp, target, error);
#endif
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return {false, describe(path, error.message()), {}};
    }
    return {};
}

} // namespace pravenor::app
