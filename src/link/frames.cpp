#include "link/frames.h"

#include "app/text_functions.h"
#include "link/protocol.h"

namespace pravenor::link {

namespace p = protocol;

namespace {

// SOH, LEN and the request header; the caller adds the rest of the body.
Frame Opened(std::size_t bodyAfterHeader)
{
    const std::size_t len = 1 + p::kRequestHeader.size() + bodyAfterHeader + 1;
    Frame frame{p::kSoh, static_cast<std::uint8_t>(len)};
    frame.insert(frame.end(), p::kRequestHeader.begin(), p::kRequestHeader.end());
    return frame;
}

void Append(Frame& frame, std::string_view bytes)
{
    for (const char c : bytes)
        frame.push_back(static_cast<std::uint8_t>(c));
}

Frame Sealed(Frame frame)
{
    unsigned sum = 0;
    for (const std::uint8_t byte : frame)
        sum += byte;
    frame.push_back(static_cast<std::uint8_t>((256 - sum % 256) % 256));
    return frame;
}

Frame CommandFrame(std::uint8_t command)
{
    Frame frame = Opened(1);
    frame.push_back(command);
    return Sealed(std::move(frame));
}

std::string Field(char tag, std::string_view text)
{
    std::string field{tag, static_cast<char>(p::kFieldStart)};
    field += text;
    field += static_cast<char>(p::kFieldEnd);
    return field;
}

} // namespace

Frame ReadRequestFrame(int item)
{
    Frame frame = Opened(4);
    frame.insert(frame.end(),
                 {p::kCommandRead, p::kFieldStart, static_cast<std::uint8_t>(item), p::kFieldEnd});
    return Sealed(std::move(frame));
}

Frame WriteFrame(int item, std::string_view value)
{
    Frame frame = Opened(7 + value.size());
    frame.insert(frame.end(), {p::kCommandWrite, p::kFieldStart, static_cast<std::uint8_t>(item),
                               p::kFieldEnd, p::kCommandRead, p::kFieldStart});
    Append(frame, value);
    frame.push_back(p::kFieldEnd);
    return Sealed(std::move(frame));
}

Frame RestartFrame()
{
    return CommandFrame(p::kCommandRestart);
}

Frame BufferPositionFrame()
{
    return CommandFrame(p::kCommandBufferPosition);
}

std::string PagerCallText(int bufferPosition, std::string_view address,
                          std::string_view displayInfo, int bleepPosition)
{
    std::string text =
        Field(static_cast<char>(p::kCommandPagerCall), app::NumToStr(bufferPosition)) +
        Field('1', address.substr(0, kPagerAddressLength));
    if (const std::string_view display = displayInfo.substr(0, kPagerDisplayLength);
        !display.empty())
        text += Field('2', display);
    text += Field('3', app::HexText(static_cast<std::int16_t>(bleepPosition)));
    return text;
}

Frame PagerCallFrame(std::string_view callText)
{
    Frame frame = Opened(callText.size());
    Append(frame, callText);
    return Sealed(std::move(frame));
}

} // namespace pravenor::link
