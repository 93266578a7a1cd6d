// The telnet COM-PORT-OPTION codec fed whatever a server may send, split anywhere: it must
// never crash, hold or answer without bound, or change the converter's bytes; what it sends
// the other way must come back unchanged through a codec at the other end; and two codecs
// answering each other must fall silent within a few rounds.
#include "link/rfc2217_codec.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

using pravenor::link::LineSettings;
using pravenor::link::Rfc2217Codec;

[[noreturn]] void fail(const char* why)
{
    std::fprintf(stderr, "fuzz_telnet_codec: %s\n", why);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    // The first byte cuts the rest into pieces of 1..16 bytes, as the network might.
    const std::size_t piece = (data[0] & 0x0F) + 1;
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);

    Rfc2217Codec codec(LineSettings{});
    std::vector<std::uint8_t> reply = codec.start();
    std::vector<std::uint8_t> received;
    for (std::size_t at = 0; at < bytes.size(); at += piece)
        codec.receive(bytes.subspan(at, std::min(piece, bytes.size() - at)), received, reply);
    if (received.size() > bytes.size())
        fail("more converter bytes out than came in");
    // Each negotiation command is three bytes and gets one three-byte answer at most; the
    // opening and the line settings come once.
    if (reply.size() > 64 + bytes.size() + 2 * 256 * 3 * Rfc2217Codec::kMaxAnswers)
        fail("answers beyond bound");

    // The converter's bytes the other way, through the codec at the other end.
    Rfc2217Codec sender(LineSettings{});
    Rfc2217Codec receiver(LineSettings{});
    sender.start();
    receiver.start();
    std::vector<std::uint8_t> wire;
    for (std::uint8_t byte : bytes)
        sender.encode(byte, wire);
    std::vector<std::uint8_t> back;
    std::vector<std::uint8_t> ignored;
    for (std::size_t at = 0; at < wire.size(); at += piece)
        receiver.receive(std::span(wire).subspan(at, std::min(piece, wire.size() - at)), back,
                         ignored);
    if (back != std::vector<std::uint8_t>(bytes.begin(), bytes.end()))
        fail("bytes changed on their way through two codecs");

    // Two ends answering each other, started by the input as the first word.
    Rfc2217Codec left(LineSettings{});
    Rfc2217Codec right(LineSettings{});
    std::vector<std::uint8_t> toRight = left.start();
    std::vector<std::uint8_t> toLeft(bytes.begin(), bytes.end());
    int rounds = 0;
    while (!toRight.empty() || !toLeft.empty()) {
        if (++rounds > 64)
            fail("two codecs keep answering each other");
        std::vector<std::uint8_t> sink;
        std::vector<std::uint8_t> fromRight;
        std::vector<std::uint8_t> fromLeft;
        right.receive(toRight, sink, fromRight);
        left.receive(toLeft, sink, fromLeft);
        toLeft.swap(fromRight);
        toRight.swap(fromLeft);
    }
    return 0;
}
