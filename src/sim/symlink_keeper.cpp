#include "sim/symlink_keeper.h"

#include <system_error>
#include <unistd.h>
#include <utility>

namespace pravenor::sim {

namespace fs = std::filesystem;

SymlinkKeeper::SymlinkKeeper(fs::path link) : m_link(std::move(link)) {}

SymlinkKeeper::~SymlinkKeeper()
{
    remove();
}

bool SymlinkKeeper::pointTo(const fs::path& target, std::string& error)
{
    if (m_link.empty())
        return true;
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(m_link, ec);
    if (fs::exists(status) && !fs::is_symlink(status)) {
        error = m_link.string() + " exists and is not a symbolic link";
        return false;
    }
    fs::path fresh = m_link;
    fresh += ".new" + std::to_string(::getpid());
    fs::remove(fresh, ec);
    fs::create_symlink(target, fresh, ec);
    if (!ec)
        fs::rename(fresh, m_link, ec);
    if (ec) {
        error = "cannot make the link " + m_link.string() + ": " + ec.message();
        fs::remove(fresh, ec);
        return false;
    }
    m_made = true;
    return true;
}

void SymlinkKeeper::remove()
{
    if (!m_made)
        return;
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(m_link, ec)))
        fs::remove(m_link, ec);
    m_made = false;
}

} // namespace pravenor::sim
