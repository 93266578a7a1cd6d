#include "link/line_address.h"

namespace pravenor::link {

ParsedLineAddress ParseLineAddress(const std::string& text)
{
    if (LooksLikeNetworkAddress(text))
        return ParseNetworkLine(text);
    if (text.empty())
        return {};
    return {text, LineAddress::Device(text), {}};
}

ParsedLineAddress ParseNetworkLine(const std::string& text)
{
    if (text.empty())
        return {};
    ParsedNetworkAddress parsed = ParseNetworkAddress(text);
    if (!parsed.address)
        return {text, std::nullopt, std::move(parsed.error)};
    return {text, LineAddress::Network(std::move(*parsed.address), text), {}};
}

} // namespace pravenor::link
