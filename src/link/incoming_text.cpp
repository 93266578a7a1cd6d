#include "link/incoming_text.h"

#include "app/message_log.h"
#include "link/byte_layer.h"
#include "link/control_chars.h"
#include "link/protocol.h"

namespace pravenor::link {

void IncomingText::CollectIncomingText(ByteLayer& bytes, app::MessageLog& log)
{
    for (int byte = bytes.ReadByte(); byte >= 0; byte = bytes.ReadByte()) {
        if (byte != protocol::kCr && byte != protocol::kLf) {
            RxText += ControlCharName(byte);
        } else if (!RxText.empty()) {
            log.WriteLog(RxText);
            RxText.clear();
        }
        if (RxText.size() > kMaxLineLength) {
            log.WriteLog(RxText);
            RxText.clear();
        }
    }
}

} // namespace pravenor::link
