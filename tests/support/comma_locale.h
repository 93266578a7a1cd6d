#pragma once

#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace pravenor::test {

// Puts the C library into a locale whose decimal separator is a comma, as a window program
// does when its user reads Dutch or German, and back to "C" afterwards.
class CommaLocale
{
public:
    CommaLocale()
    {
        // The C library's names on Linux, then Windows' own (which Wine knows too).
        for (const char* name : {"nl_NL.UTF-8", "nl_NL.utf8", "de_DE.UTF-8", "de_DE.utf8",
                                 "fr_FR.UTF-8", "nl-NL", "Dutch_Netherlands.1252", "de-DE"}) {
            if (std::setlocale(LC_ALL, name) != nullptr &&
                std::string(std::localeconv()->decimal_point) == ",") {
                m_active = true;
                return;
            }
        }
        std::setlocale(LC_ALL, "C");
    }
    ~CommaLocale() { std::setlocale(LC_ALL, "C"); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    bool active() const { return m_active; }

private:
    bool m_active = false;
};

} // namespace pravenor::test

// Continuous integration generates nl_NL.UTF-8 (setup.sh), so there a missing locale is a
// failure; on a developer's machine without one the test is skipped.
#define PRAVENOR_REQUIRE_COMMA_LOCALE(locale)                                                      \
    do {                                                                                           \
        if (!(locale).active()) {                                                                  \
            if (std::getenv("CI") != nullptr)                                                      \
                FAIL() << "no comma-decimal locale; setup.sh test generates nl_NL.UTF-8";          \
            GTEST_SKIP() << "no comma-decimal locale on this machine (locale-gen nl_NL.UTF-8)";    \
        }                                                                                          \
    } while (false)
