#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace pravenor::app {

// The program reads and appends to regular files only (links followed). Opening a FIFO
// blocks until a writer comes, and a device such as /dev/zero never ends; either would hang
// the window for good, so they count as files that cannot be opened.

// No settings or configuration file comes near this; anything larger is not one of ours.
inline constexpr std::size_t kMaxFileBytes = std::size_t{16} * 1024 * 1024;

enum class FileReadStatus
{
    Read,
    CannotOpen, // absent, no access, not a regular file, or the read broke off
    TooLarge,   // more than the limit: unusable, and not read into memory
};

struct FileContent
{
    FileReadStatus status = FileReadStatus::CannotOpen;
    std::string bytes;
};

FileContent ReadRegularFile(const std::filesystem::path& path,
                            std::size_t maxBytes = kMaxFileBytes);

// Appends bytes to the file, creating it when absent; false when it cannot be opened as a
// regular file or the write fails.
bool AppendToRegularFile(const std::filesystem::path& path, std::string_view bytes);

#ifndef _WIN32
// Writes all the bytes to the descriptor, taking up a write that a signal or a full buffer
// cut short; false when a write fails, with errno saying why.
bool WriteAll(int fd, std::string_view bytes);
#endif

// "16 MiB", for messages about the limit.
std::string MaxFileSizeText();

} // namespace pravenor::app
