#include "sim/converter_end.h"

#include <algorithm>
#include <utility>

namespace pravenor::sim {

ConverterEnd::ConverterEnd(ConverterModel& model, FaultPlan faults, Micros byteTime)
    : m_model(model), m_faults(std::move(faults)), m_byteTime(byteTime)
{
    const FaultPlan& plan = m_faults.plan();
    m_nextChatterAt = plan.chatterEvery;
    if (plan.powerCutFor.count() > 0)
        m_cut = PowerCut{plan.powerCutAfter, plan.powerCutAfter + plan.powerCutFor};
}

void ConverterEnd::hostByte(std::uint8_t byte, Micros at)
{
    runUntil(at);
    if (!powered(at))
        return;
    if (!m_model.inFrame(at))
        m_frameStartAt = at;
    const std::chrono::milliseconds deafFor = m_faults.plan().deafAfterReply;
    const bool heard =
        deafFor.count() == 0 || !m_lastReplyEnd || m_frameStartAt >= *m_lastReplyEnd + deafFor;
    std::optional<FrameOutcome> outcome = m_model.receive(byte, at, heard);
    if (!outcome)
        return;
    if (!outcome->request.checksumOk) {
        record(at, TrafficKind::Ignored, std::move(outcome->request.bytes), "bad checksum");
        return;
    }
    if (!heard) {
        record(at, TrafficKind::Ignored, std::move(outcome->request.bytes),
               "too soon after the last reply");
        return;
    }
    const bool answered = !outcome->reply.empty();
    record(at, TrafficKind::Received, std::move(outcome->request.bytes),
           answered ? std::string() : "not for this converter");
    if (!answered)
        return;

    ShapedReply shaped = m_faults.shape(outcome->reply);
    std::string note;
    if (shaped.fault != ReplyFault::None)
        note = replyFaultName(shaped.fault);
    if (shaped.delay.count() > 0)
        note += (note.empty() ? "" : ", ") + std::string("late");
    if (shaped.noiseBytes > 0)
        note += (note.empty() ? "" : ", ") + std::to_string(shaped.noiseBytes) + " noise";
    const Micros start = std::max(at + shaped.delay, m_transmitterFreeAt);
    record(start, TrafficKind::Sent, shaped.bytes, std::move(note));
    send(std::move(shaped.bytes), start);
    m_lastReplyEnd = m_transmitterFreeAt;
}

void ConverterEnd::runUntil(Micros now)
{
    // Events strictly in time order: a power cut may fall between two chatter lines.
    for (;;) {
        std::optional<Micros> cutEvent;
        if (m_cut && !m_cut->begun)
            cutEvent = m_cut->start;
        else if (m_cut && !m_cut->ended)
            cutEvent = m_cut->end;
        const FaultPlan& plan = m_faults.plan();
        const bool chatter = plan.chatterEvery.count() > 0 && m_nextChatterAt <= now;

        if (cutEvent && *cutEvent <= now && (!chatter || *cutEvent <= m_nextChatterAt)) {
            if (!m_cut->begun) {
                m_cut->begun = true;
                ++m_powerLosses;
                // What had not reached the host yet dies with the transmitter.
                std::erase_if(m_outgoing, [&](const TimedByte& b) { return b.at > m_cut->start; });
                m_transmitterFreeAt = std::min(m_transmitterFreeAt, m_cut->start);
                m_model.forgetPartialFrame();
                record(m_cut->start, TrafficKind::PowerOff, {});
            } else {
                m_cut->ended = true;
                record(m_cut->end, TrafficKind::PowerOn, {});
            }
            continue;
        }
        if (!chatter)
            return;
        const Micros at = m_nextChatterAt;
        m_nextChatterAt += plan.chatterEvery;
        if (powered(at) && !answering(at)) {
            std::vector<std::uint8_t> line = m_faults.chatterLine();
            const Micros start = std::max(at, m_transmitterFreeAt);
            record(start, TrafficKind::Unsolicited, line);
            send(std::move(line), start);
        }
    }
}

std::vector<std::uint8_t> ConverterEnd::takeDue(Micros now)
{
    runUntil(now);
    std::vector<std::uint8_t> due;
    while (!m_outgoing.empty() && m_outgoing.front().at <= now) {
        due.push_back(m_outgoing.front().byte);
        m_outgoing.pop_front();
    }
    return due;
}

std::optional<Micros> ConverterEnd::nextEventAt() const
{
    std::optional<Micros> next;
    auto consider = [&next](Micros at) {
        if (!next || at < *next)
            next = at;
    };
    if (!m_outgoing.empty())
        consider(m_outgoing.front().at);
    if (m_faults.plan().chatterEvery.count() > 0)
        consider(m_nextChatterAt);
    if (m_cut && !m_cut->begun)
        consider(m_cut->start);
    else if (m_cut && !m_cut->ended)
        consider(m_cut->end);
    return next;
}

bool ConverterEnd::powered(Micros at) const
{
    return !(m_cut && at >= m_cut->start && at < m_cut->end);
}

void ConverterEnd::cutPower(Micros at, Micros duration)
{
    m_cut = PowerCut{at, at + duration};
    runUntil(at);
}

std::vector<TrafficRecord> ConverterEnd::takeTraffic()
{
    return std::exchange(m_traffic, {});
}

void ConverterEnd::send(std::vector<std::uint8_t> bytes, Micros earliest)
{
    Micros at = std::max(earliest, m_transmitterFreeAt);
    for (std::uint8_t byte : bytes) {
        at += m_byteTime;
        m_outgoing.push_back({at, byte});
    }
    m_transmitterFreeAt = at;
}

bool ConverterEnd::answering(Micros at) const
{
    // From the first byte of a request until the last byte of its reply has gone out.
    return m_model.inFrame(at) || (!m_outgoing.empty() && m_outgoing.back().at > at);
}

void ConverterEnd::record(Micros at, TrafficKind kind, std::vector<std::uint8_t> bytes,
                          std::string note)
{
    m_traffic.push_back({at, kind, std::move(bytes), std::move(note)});
}

} // namespace pravenor::sim
