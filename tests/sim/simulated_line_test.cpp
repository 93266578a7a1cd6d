#include "hex_bytes.h"
#include "link/line_address.h"
#include "sim/simulated_line.h"

#include <chrono>
#include <gtest/gtest.h>

namespace pravenor::sim {
namespace {

using namespace std::chrono_literals;
using testing::Bytes;
using testing::hex;
using testing::hexOf;

const char* const kReadItem5 = "01 09 01 00 02 77 1F 05 1E 3A";
const char* const kReplyItem5Is7 = "01 0D 00 01 06 77 1F 05 1E 77 1F 07 1E 77";
const Micros kRequestTime = 10 * kByteTime; // the ten bytes of a read request

void write(SimulatedLine& line, std::string_view frame)
{
    for (std::uint8_t byte : hex(frame))
        ASSERT_TRUE(line.writeByte(byte));
}

std::string readAll(SimulatedLine& line)
{
    Bytes bytes;
    for (int byte = line.readByte(); byte != -1; byte = line.readByte())
        bytes.push_back(static_cast<std::uint8_t>(byte));
    return hexOf(bytes);
}

class SimulatedLineTest : public ::testing::Test
{
protected:
    SimulatedLineTest() { model.setNumber(5, 7); }

    static void openLine(SimulatedLine& line)
    {
        ASSERT_EQ(line.open(link::LineAddress::Device("COM1"), {}), link::OpenResult::Opened);
    }

    ConverterModel model;
};

TEST_F(SimulatedLineTest, ReplyTricklesInAtTheLinePace)
{
    SimulatedLine line(model);
    openLine(line);
    write(line, kReadItem5);

    // Until the request's last byte is in, the converter has heard no frame.
    line.advance(kRequestTime - 1us);
    EXPECT_TRUE(line.framesFromHost().empty());
    line.advance(1us);
    ASSERT_EQ(line.framesFromHost().size(), 1u);
    EXPECT_EQ(line.bytesWaiting(), 0);

    line.advance(7ms);
    EXPECT_EQ(line.bytesWaiting(), 6);
    line.advance(7ms); // 14 ms after the request: 13 of the 14 bytes
    EXPECT_EQ(line.bytesWaiting(), 13);
    line.advance(600us);
    EXPECT_EQ(line.bytesWaiting(), 14);
    EXPECT_EQ(readAll(line), kReplyItem5Is7);
    EXPECT_EQ(line.readByte(), -1);
}

TEST_F(SimulatedLineTest, KeepsWhatTheHostSentAndTheFramesTheConverterSaw)
{
    SimulatedLine line(model);
    openLine(line);
    // Written at once, the bytes still go out one byte time apart.
    write(line, "01 01 80 7F");
    write(line, kReadItem5);
    line.advance(50ms);

    EXPECT_EQ(hexOf(line.bytesFromHost()), "01 01 80 7F " + std::string(kReadItem5));
    EXPECT_EQ(line.traffic().at(0).at, 2 * kByteTime);
    EXPECT_EQ(line.traffic().at(1).at, 14 * kByteTime);
    const std::vector<ReceivedFrame> frames = line.framesFromHost();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(hexOf(frames[0].bytes), "01 01");
    EXPECT_FALSE(frames[0].checksumOk);
    EXPECT_EQ(hexOf(frames[1].bytes), kReadItem5);
    EXPECT_TRUE(frames[1].checksumOk);
    EXPECT_EQ(readAll(line), kReplyItem5Is7);
}

TEST_F(SimulatedLineTest, AConverterThatNeedsAPauseLeavesARequestUnheardThatComesTooSoon)
{
    SimulatedLine line(model, FaultPlan{.deafAfterReply = 30ms});
    openLine(line);
    write(line, kReadItem5);
    line.advance(kRequestTime + 14 * kByteTime); // the whole reply is in
    EXPECT_EQ(readAll(line), kReplyItem5Is7);

    write(line, "01 0D 01 00 02 57 1F 05 1E 77 1F 09 1E 99"); // setting 5 := 9, at once
    line.advance(100ms);
    EXPECT_EQ(line.bytesWaiting(), 0);
    EXPECT_EQ(line.traffic().back().kind, TrafficKind::Ignored);
    EXPECT_EQ(model.number(5), 7); // unheard, so not carried out either

    write(line, kReadItem5); // starting 100 ms after the reply
    line.advance(kRequestTime + 14 * kByteTime);
    EXPECT_EQ(readAll(line), kReplyItem5Is7);
}

TEST(LineTiming, AByteTakesTenBitTimesRoundedUp)
{
    EXPECT_EQ(ByteTimeAt(9600), 1042us);
    EXPECT_EQ(ByteTimeAt(19200), 521us);
    EXPECT_EQ(ByteTimeAt(1200), 8334us);
}

TEST_F(SimulatedLineTest, DiscardInputDropsOnlyWhatHasArrived)
{
    SimulatedLine line(model);
    openLine(line);
    write(line, kReadItem5);
    line.advance(kRequestTime + 5 * kByteTime);
    EXPECT_EQ(line.bytesWaiting(), 5);
    line.discardInput();
    EXPECT_EQ(line.bytesWaiting(), 0);
    line.advance(20ms);
    EXPECT_EQ(readAll(line), "77 1F 05 1E 77 1F 07 1E 77");
}

TEST_F(SimulatedLineTest, ClosedPortNeitherSendsNorReceives)
{
    SimulatedLine line(model);
    EXPECT_FALSE(line.isOpen());
    EXPECT_FALSE(line.writeByte(0x01));
    openLine(line);
    write(line, kReadItem5);
    line.close();
    line.advance(50ms); // the request was on its way and is answered, into a closed port
    EXPECT_EQ(line.framesFromHost().size(), 1u);
    openLine(line);
    EXPECT_EQ(line.bytesWaiting(), 0);
    EXPECT_EQ(line.readByte(), -1);
    EXPECT_EQ(line.openCount(), 2);
}

TEST_F(SimulatedLineTest, LateReplyStartsAfterItsDelay)
{
    FaultPlan plan;
    plan.late = FaultRepeat::times(1);
    plan.lateBy = 500ms;
    SimulatedLine line(model, plan);
    openLine(line);
    write(line, kReadItem5);
    line.advance(kRequestTime + 500ms);
    EXPECT_EQ(line.bytesWaiting(), 0);
    line.advance(kByteTime);
    EXPECT_EQ(line.bytesWaiting(), 1);
    line.advance(20ms);
    EXPECT_EQ(readAll(line), kReplyItem5Is7);

    write(line, kReadItem5); // spent: the next reply comes at once
    line.advance(kRequestTime + 14 * kByteTime);
    EXPECT_EQ(readAll(line), kReplyItem5Is7);
}

TEST_F(SimulatedLineTest, ReplyFaultsReachTheHostAsShaped)
{
    const struct
    {
        const char* name;
        FaultPlan plan;
        const char* received;
    } cases[] = {
        {"no answer", {.noAnswer = FaultRepeat::every()}, ""},
        {"body stops", {.bodyStops = FaultRepeat::every()}, "01 0D 00 01 06 77 1F"},
        {"bad checksum",
         {.badChecksum = FaultRepeat::every()},
         "01 0D 00 01 06 77 1F 05 1E 77 1F 07 1E 78"},
        {"nack", {.nack = FaultRepeat::every()}, "01 06 00 01 15 77 6C"},
        {"short reply", {.shortReply = FaultRepeat::every()}, "01 06 00 01 06 77 7B"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedLine line(model, c.plan);
        openLine(line);
        write(line, kReadItem5);
        line.advance(5s);
        EXPECT_EQ(readAll(line), c.received);
    }
}

TEST_F(SimulatedLineTest, ChatterOnlyBetweenExchanges)
{
    SimulatedLine line(model, {.chatterEvery = 100ms});
    openLine(line);
    line.advance(150ms);
    EXPECT_EQ(readAll(line), "4F 4B 0D 0A");

    // The request is coming in at 200 ms and answered until about 220 ms: that line is skipped.
    line.advance(45ms);
    write(line, kReadItem5);
    line.advance(105ms);
    EXPECT_EQ(readAll(line), kReplyItem5Is7);
    line.advance(50ms);
    EXPECT_EQ(readAll(line), "4F 4B 0D 0A");
}

TEST_F(SimulatedLineTest, ReplyWaitsForAChatterLineToFinish)
{
    SimulatedLine line(model, {.chatterEvery = 100ms, .chatterText = "RING RING RING RING!"});
    openLine(line);
    line.advance(100ms); // the 22-byte line goes out until 122.9 ms
    write(line, kReadItem5);
    line.advance((22 + 14) * kByteTime - 1us);
    EXPECT_EQ(line.bytesWaiting(), 22 + 13);
    line.advance(1us);
    EXPECT_EQ(readAll(line), "52 49 4E 47 20 52 49 4E 47 20 52 49 4E 47 20 52 49 4E 47 21 0D 0A " +
                                 std::string(kReplyItem5Is7));
}

TEST_F(SimulatedLineTest, PowerCutClosesThePortUntilThePowerIsBack)
{
    SimulatedLine line(model);
    openLine(line);
    line.cutPower(2s);
    EXPECT_FALSE(line.isOpen());
    EXPECT_FALSE(line.writeByte(0x01));
    EXPECT_EQ(line.open(link::LineAddress::Device("COM1"), {}), link::OpenResult::Failed);
    line.advance(2s - 1us);
    EXPECT_EQ(line.open(link::LineAddress::Device("COM1"), {}), link::OpenResult::Failed);
    line.advance(1us);
    EXPECT_FALSE(line.isOpen()); // back, but the port must be opened again
    openLine(line);
    write(line, kReadItem5);
    line.advance(30ms);
    EXPECT_EQ(readAll(line), kReplyItem5Is7); // the values survive the cut
}

TEST_F(SimulatedLineTest, PowerCutLosesTheRestOfAReply)
{
    SimulatedLine line(model);
    openLine(line);
    write(line, kReadItem5);
    line.advance(kRequestTime + 5 * kByteTime);
    EXPECT_EQ(line.bytesWaiting(), 5);
    line.cutPower(1s);
    EXPECT_EQ(line.bytesWaiting(), 0);
    line.advance(1s);
    openLine(line);
    line.advance(100ms);
    EXPECT_EQ(line.bytesWaiting(), 0);
}

TEST_F(SimulatedLineTest, PlannedPowerCutStartsAndEndsOnTime)
{
    SimulatedLine line(model, {.powerCutFor = 2s, .powerCutAfter = 1s});
    openLine(line);
    line.advance(1s - 1us);
    EXPECT_TRUE(line.isOpen());
    line.advance(1us);
    EXPECT_FALSE(line.isOpen());
    line.advance(2s - 1us);
    EXPECT_EQ(line.open(link::LineAddress::Device("COM1"), {}), link::OpenResult::Failed);
    line.advance(1us);
    openLine(line);
    EXPECT_TRUE(line.isOpen());
}

TEST_F(SimulatedLineTest, PowerCutSpanningAWholeAdvanceStillClosesThePort)
{
    SimulatedLine line(model, {.powerCutFor = 1s, .powerCutAfter = 1s});
    openLine(line);
    line.advance(5s);
    EXPECT_FALSE(line.isOpen());
}

TEST_F(SimulatedLineTest, NoiseIsTheSameOnEveryRunWithOneSeed)
{
    auto run = [this] {
        SimulatedLine line(model, {.noiseRate = 0.2, .noiseSeed = 42});
        openLine(line);
        std::string received;
        for (int i = 0; i < 5; ++i) {
            write(line, kReadItem5);
            line.advance(100ms);
            received += readAll(line) + "|";
        }
        return received;
    };
    const std::string first = run();
    EXPECT_EQ(first, run());
    EXPECT_NE(first, std::string(kReplyItem5Is7) + "|" + kReplyItem5Is7 + "|" + kReplyItem5Is7 +
                         "|" + kReplyItem5Is7 + "|" + kReplyItem5Is7 + "|");
}

} // namespace
} // namespace pravenor::sim
