#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace pravenor::sim {

// How many replies a fault hits: none, the next `count`, or every one from now on.
struct FaultRepeat
{
    static constexpr int kEvery = -1;

    int count = 0;

    static constexpr FaultRepeat times(int n) { return FaultRepeat{n}; }
    static constexpr FaultRepeat every() { return FaultRepeat{kEvery}; }
    constexpr bool isSet() const { return count != 0; }
    bool operator==(const FaultRepeat&) const = default;
};

// The faults the simulated converter plays, as plain values: the tool fills it from its
// options, tests build it directly. A reply takes at most one of the reply faults; when
// several are due, the first of this list wins and the others wait for later replies:
// no answer, body stops, too long, short reply, NACK, bad checksum. A late answer and noise
// come on top of any of them.
struct FaultPlan
{
    FaultRepeat noAnswer{}; // the request is taken in but nothing comes back
    FaultRepeat late{};     // the reply starts lateBy after the request's last byte
    std::chrono::milliseconds lateBy{0};
    FaultRepeat badChecksum{}; // the checksum byte is one off
    FaultRepeat nack{};        // a 7-byte reply with NACK at offset 4 instead of the real one
    FaultRepeat tooLong{};     // a reply of tooLongLen + 1 bytes with a correct checksum
    int tooLongLen = 198;      // 198..255: one byte beyond what a host may accept
    FaultRepeat shortReply{};  // a 7-byte reply with a correct checksum, too short for an item
    FaultRepeat bodyStops{};   // SOH, LEN and half the body, then silence

    // Unsolicited text lines (chatterText, CR, LF) every chatterEvery while no request is
    // being answered; 0 for none.
    std::chrono::milliseconds chatterEvery{0};
    std::string chatterText = "OK";

    // The chance, 0..1, that a noise byte goes out just before any byte of a reply. The
    // seed makes the noise repeatable.
    double noiseRate = 0.0;
    std::uint32_t noiseSeed = 1;

    // The converter loses power powerCutAfter from the start, for powerCutFor; 0 for never.
    std::chrono::milliseconds powerCutFor{0};
    std::chrono::milliseconds powerCutAfter{0};

    // A converter that needs a pause after replying: a request whose first byte arrives
    // within this of the end of its last reply goes unheard. 0 for one that is always ready.
    std::chrono::milliseconds deafAfterReply{0};

    bool operator==(const FaultPlan&) const = default;
};

} // namespace pravenor::sim
