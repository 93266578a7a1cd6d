#pragma once

#include <filesystem>
#include <string>

namespace pravenor::sim {

// Keeps a symbolic link pointing at the simulator's current terminal, so that a program can
// use one fixed device name across power cuts. Removes the link when it goes.
class SymlinkKeeper
{
public:
    // An empty path keeps no link; every call then succeeds and does nothing.
    explicit SymlinkKeeper(std::filesystem::path link);
    SymlinkKeeper(const SymlinkKeeper&) = delete;
    SymlinkKeeper& operator=(const SymlinkKeeper&) = delete;
    ~SymlinkKeeper();

    // Points the link at target in one step (a new link renamed over the old one). Refuses
    // to replace anything that is not a symbolic link.
    bool pointTo(const std::filesystem::path& target, std::string& error);
    void remove();

    const std::filesystem::path& path() const { return m_link; }

private:
    std::filesystem::path m_link;
    bool m_made = false;
};

} // namespace pravenor::sim
