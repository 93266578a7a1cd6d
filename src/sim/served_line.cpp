#include "sim/served_line.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <optional>

namespace pravenor::sim {

namespace {

// Long enough to stay off the processor, short enough that a power cut or a stop request
// is noticed at once.
constexpr Micros kLongestSleep{50'000};

} // namespace

std::string TrafficLogLine(const TrafficRecord& record)
{
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "[%9.3f] ", static_cast<double>(record.at.count()) / 1e6);
    std::string line = stamp;
    switch (record.kind) {
    case TrafficKind::Received:
    case TrafficKind::Ignored:
        line += "<<";
        break;
    case TrafficKind::Sent:
    case TrafficKind::Unsolicited:
        line += ">>";
        break;
    case TrafficKind::PowerOff:
        return line + "-- power cut";
    case TrafficKind::PowerOn:
        return line + "-- power back";
    }
    if (record.bytes.empty())
        line += " (nothing)";
    for (std::uint8_t byte : record.bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", byte);
        line += hex;
    }
    std::string note = record.note;
    if (record.kind == TrafficKind::Ignored)
        note = note + ", ignored";
    else if (record.kind == TrafficKind::Unsolicited)
        note = "unsolicited";
    if (!note.empty())
        line += "  (" + note + ")";
    return line;
}

ServedLine::ServedLine(ConverterModel& model, const FaultPlan& faults, int baud)
    : m_converter(model, faults, ByteTimeAt(baud)), m_byteTime(ByteTimeAt(baud))
{
}

void ServedLine::hostSent(std::span<const std::uint8_t> bytes, Micros at)
{
    for (std::uint8_t byte : bytes) {
        m_lineFreeAt = std::max(m_lineFreeAt, at) + m_byteTime;
        m_fromHost.push_back({m_lineFreeAt, byte});
    }
}

void ServedLine::runUntil(Micros now)
{
    while (!m_fromHost.empty() && m_fromHost.front().at <= now) {
        m_converter.hostByte(m_fromHost.front().byte, m_fromHost.front().at);
        m_fromHost.pop_front();
    }
    m_converter.runUntil(now);
}

void ServedLine::dropHostBytes()
{
    m_fromHost.clear();
}

int ServedLine::sleep(std::span<pollfd> fds, Micros now) const
{
    std::optional<Micros> next = m_converter.nextEventAt();
    if (!m_fromHost.empty() && (!next || m_fromHost.front().at < *next))
        next = m_fromHost.front().at;
    const Micros wait = next ? std::clamp(*next - now, Micros{0}, kLongestSleep) : kLongestSleep;
    // To the microsecond: the bytes on the line are a millisecond apart.
    const timespec timeout{static_cast<time_t>(wait.count() / 1'000'000),
                           static_cast<long>(wait.count() % 1'000'000) * 1000};
    return ::ppoll(fds.data(), fds.size(), &timeout, nullptr);
}

void ServedLine::logTraffic(std::ostream& log)
{
    for (const TrafficRecord& record : m_converter.takeTraffic())
        log << TrafficLogLine(record) << '\n';
    log.flush();
}

} // namespace pravenor::sim
