// The network-address parser fed any text a user or a sites file may hold: it must never
// crash, and every address it takes must read back, from its written form, as itself.
#include "link/network_address.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const pravenor::link::ParsedNetworkAddress parsed = pravenor::link::ParseNetworkAddress(text);
    if (parsed.address.has_value() == !parsed.error.empty()) {
        std::fprintf(stderr, "fuzz_network_address: an address and an error, or neither\n");
        std::abort();
    }
    if (!parsed.address)
        return 0;
    const std::string written = pravenor::link::NetworkAddressText(*parsed.address);
    if (pravenor::link::ParseNetworkAddress(written).address != parsed.address) {
        std::fprintf(stderr, "fuzz_network_address: %s does not read back\n", written.c_str());
        std::abort();
    }
    return 0;
}
