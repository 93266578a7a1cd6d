#pragma once

#include <optional>
#include <string>

namespace pravenor::sim {

// A pseudo-terminal in raw mode whose slave side stands in for the converter's serial port.
// The simulator keeps a slave descriptor of its own open, so that the master never reports a
// hang-up while no program has the terminal open.
class PseudoTerminal
{
public:
    static std::optional<PseudoTerminal> create(std::string& error);

    PseudoTerminal(PseudoTerminal&& other) noexcept;
    PseudoTerminal& operator=(PseudoTerminal&& other) noexcept;
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    ~PseudoTerminal();

    int master() const { return m_master; } // non-blocking
    const std::string& slavePath() const { return m_slavePath; }

    // Closes both sides: a program that has the slave open then sees its port fail.
    void close();

private:
    PseudoTerminal() = default;

    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
};

} // namespace pravenor::sim
