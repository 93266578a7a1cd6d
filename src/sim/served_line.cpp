#include "sim/served_line.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
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

int ServedLine::serve(int stopFd, Carrier& carrier, std::ostream& log)
{
    const Binding line{this, &carrier};
    return serveAll(stopFd, {&line, 1}, log);
}

int ServedLine::serveAll(int stopFd, std::span<const Binding> lines, std::ostream& log)
{
    for (const Binding& served : lines) {
        served.line->m_start = std::chrono::steady_clock::now();
        if (!served.carrier->followPower(true))
            return 1;
    }
    std::vector<pollfd> fds(1 + lines.size() * kMostWatched);
    std::vector<std::size_t> watched(lines.size());
    for (;;) {
        Micros wait = kLongestSleep;
        std::size_t count = 1;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            ServedLine& line = *lines[i].line;
            Carrier& carrier = *lines[i].carrier;
            const Micros now = line.elapsed();
            line.runUntil(now);
            if (!carrier.followPower(line.m_converter.powered(now)))
                return 1;
            carrier.deliver(line.m_converter.takeDue(now));
            line.logTraffic(log);
            watched[i] = carrier.watch(std::span(fds).subspan(count, kMostWatched));
            count += watched[i];
            wait = std::min(wait, line.mayWait(now));
        }
        fds[0] = {stopFd, POLLIN, 0};
        // To the microsecond: the bytes on the line are a millisecond apart.
        const timespec timeout{static_cast<time_t>(wait.count() / 1'000'000),
                               static_cast<long>(wait.count() % 1'000'000) * 1000};
        const int ready = ::ppoll(fds.data(), count, &timeout, nullptr);
        if (ready < 0 && errno != EINTR) {
            log << "poll: " << std::strerror(errno) << std::endl;
            return 1;
        }
        if (ready <= 0)
            continue;
        if (fds[0].revents != 0) {
            for (const Binding& served : lines) {
                served.carrier->stop();
                served.line->logTraffic(log);
            }
            return 0;
        }
        std::size_t at = 1;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            lines[i].carrier->ready(std::span<const pollfd>(fds).subspan(at, watched[i]));
            at += watched[i];
        }
    }
}

Micros ServedLine::elapsed() const
{
    return std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now() - m_start);
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

Micros ServedLine::mayWait(Micros now) const
{
    std::optional<Micros> next = m_converter.nextEventAt();
    if (!m_fromHost.empty() && (!next || m_fromHost.front().at < *next))
        next = m_fromHost.front().at;
    return next ? std::clamp(*next - now, Micros{0}, kLongestSleep) : kLongestSleep;
}

void ServedLine::logTraffic(std::ostream& log)
{
    for (const TrafficRecord& record : m_converter.takeTraffic())
        log << (m_logName.empty() ? "" : m_logName + " ") << TrafficLogLine(record) << '\n';
    log.flush();
}

} // namespace pravenor::sim
