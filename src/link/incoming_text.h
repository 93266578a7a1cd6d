#pragma once

#include <string>

namespace pravenor::app {
class MessageLog;
}

namespace pravenor::link {

class ByteLayer;

// Logs the text that the converter sends by itself while no exchange is running, a line at
// a time, with control bytes written out by name.
class IncomingText
{
public:
    static constexpr std::size_t kMaxLineLength = 130;

    void CollectIncomingText(ByteLayer& bytes, app::MessageLog& log);
    void clear() { RxText.clear(); }

    std::string RxText; // received, not yet logged
};

} // namespace pravenor::link
