#pragma once

// Windows has no root who may write anywhere nor users to switch to: the tests that need
// this are skipped there.
#ifndef _WIN32

#include <cstdio>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pravenor::test {

// The user whose rights the permission tests use when they run as root.
inline uid_t NobodyUid()
{
    const passwd* entry = ::getpwnam("nobody");
    return entry != nullptr ? entry->pw_uid : 65534;
}

inline gid_t NobodyGid()
{
    const passwd* entry = ::getpwnam("nobody");
    return entry != nullptr ? entry->pw_gid : 65534;
}

// Runs body with an ordinary user's rights: directly when the test already runs as one;
// as root (which is how CI runs) in a forked child that has become nobody, since root
// writes into read-only folders and reads unreadable files. What body finds wrong fails the
// test either way. Files that body must not be able to change are left to root.
inline void AsOrdinaryUser(const std::function<void()>& body)
{
    if (::geteuid() != 0) {
        body();
        return;
    }
    std::fflush(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(NobodyGid()) != 0 ||
            ::setuid(NobodyUid()) != 0) {
            std::fprintf(stderr, "cannot become nobody\n");
            ::_exit(2);
        }
        body();
        std::fflush(nullptr);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the part run as nobody failed, wait status " << status;
}

} // namespace pravenor::test

#endif
