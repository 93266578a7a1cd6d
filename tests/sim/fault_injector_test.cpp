#include "hex_bytes.h"
#include "sim/fault_injector.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>

namespace pravenor::sim {
namespace {

using namespace std::chrono_literals;
using testing::Bytes;
using testing::hex;
using testing::hexOf;

// The converter's answer to a read of item 5 holding 0.
const Bytes kReadReply = hex("01 0D 00 01 06 77 1F 05 1E 77 1F 00 1E 7E");

std::string shaped(FaultInjector& faults, const Bytes& reply = kReadReply)
{
    return hexOf(faults.shape(reply).bytes);
}

TEST(FaultInjector, EachReplyFaultShapesTheReplyItsOwnWay)
{
    Bytes tooLong = hex("01 C6 00 01 06 77");
    tooLong.insert(tooLong.end(), 192, ' ');
    tooLong.push_back(0xBB);

    const struct
    {
        const char* name;
        std::function<void(FaultPlan&)> set;
        ReplyFault fault;
        std::string expected;
    } cases[] = {
        {"none", [](FaultPlan&) {}, ReplyFault::None, "01 0D 00 01 06 77 1F 05 1E 77 1F 00 1E 7E"},
        {"no answer", [](FaultPlan& p) { p.noAnswer = FaultRepeat::times(1); },
         ReplyFault::NoAnswer, ""},
        {"bad checksum", [](FaultPlan& p) { p.badChecksum = FaultRepeat::times(1); },
         ReplyFault::BadChecksum, "01 0D 00 01 06 77 1F 05 1E 77 1F 00 1E 7F"},
        {"nack", [](FaultPlan& p) { p.nack = FaultRepeat::times(1); }, ReplyFault::Nack,
         "01 06 00 01 15 77 6C"},
        {"short reply", [](FaultPlan& p) { p.shortReply = FaultRepeat::times(1); },
         ReplyFault::ShortReply, "01 06 00 01 06 77 7B"},
        {"body stops", [](FaultPlan& p) { p.bodyStops = FaultRepeat::times(1); },
         ReplyFault::BodyStops, "01 0D 00 01 06 77 1F"},
        {"too long", [](FaultPlan& p) { p.tooLong = FaultRepeat::times(1); }, ReplyFault::TooLong,
         hexOf(tooLong)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FaultPlan plan;
        c.set(plan);
        FaultInjector faults(plan);
        const ShapedReply reply = faults.shape(kReadReply);
        EXPECT_EQ(reply.fault, c.fault);
        EXPECT_EQ(hexOf(reply.bytes), c.expected);
        EXPECT_EQ(reply.delay, 0ms);
        // Spent: the next reply is the real one.
        EXPECT_EQ(shaped(faults), "01 0D 00 01 06 77 1F 05 1E 77 1F 00 1E 7E");
    }
}

TEST(FaultInjector, BodyOfAShortAcknowledgementStopsAfterTwoBytes)
{
    FaultPlan plan;
    plan.bodyStops = FaultRepeat::every();
    FaultInjector faults(plan);
    EXPECT_EQ(shaped(faults, hex("01 06 00 01 06 57 9B")), "01 06 00 01");
}

TEST(FaultInjector, CountedFaultHitsOnlyTheNextReplies)
{
    FaultPlan plan;
    plan.nack = FaultRepeat::times(2);
    FaultInjector faults(plan);
    EXPECT_EQ(shaped(faults), "01 06 00 01 15 77 6C");
    EXPECT_EQ(shaped(faults), "01 06 00 01 15 77 6C");
    EXPECT_EQ(shaped(faults), hexOf(kReadReply));
    EXPECT_FALSE(faults.plan().nack.isSet());
}

TEST(FaultInjector, EveryReplyMeansEveryOne)
{
    FaultPlan plan;
    plan.shortReply = FaultRepeat::every();
    FaultInjector faults(plan);
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(shaped(faults), "01 06 00 01 06 77 7B") << "reply " << i;
}

TEST(FaultInjector, FirstDueFaultTakesTheReplyAndTheOthersWait)
{
    FaultPlan plan;
    plan.badChecksum = FaultRepeat::times(1);
    plan.nack = FaultRepeat::times(1);
    plan.noAnswer = FaultRepeat::times(1);
    FaultInjector faults(plan);
    EXPECT_EQ(faults.shape(kReadReply).fault, ReplyFault::NoAnswer);
    EXPECT_EQ(faults.shape(kReadReply).fault, ReplyFault::Nack);
    EXPECT_EQ(faults.shape(kReadReply).fault, ReplyFault::BadChecksum);
    EXPECT_EQ(faults.shape(kReadReply).fault, ReplyFault::None);
}

TEST(FaultInjector, LateComesOnTopOfAnotherFault)
{
    FaultPlan plan;
    plan.late = FaultRepeat::times(1);
    plan.lateBy = 500ms;
    plan.nack = FaultRepeat::times(1);
    FaultInjector faults(plan);
    const ShapedReply first = faults.shape(kReadReply);
    EXPECT_EQ(first.delay, 500ms);
    EXPECT_EQ(hexOf(first.bytes), "01 06 00 01 15 77 6C");
    const ShapedReply second = faults.shape(kReadReply);
    EXPECT_EQ(second.delay, 0ms);
    EXPECT_EQ(second.fault, ReplyFault::None);
}

TEST(FaultInjector, NoiseIsRepeatableForOneSeedAndKeepsTheReplyInOrder)
{
    FaultPlan plan;
    plan.noiseRate = 0.3;
    plan.noiseSeed = 7;
    FaultInjector first(plan);
    FaultInjector second(plan);
    plan.noiseSeed = 8;
    FaultInjector otherSeed(plan);

    int noise = 0;
    bool seedsDiffer = false;
    for (int i = 0; i < 20; ++i) {
        const ShapedReply a = first.shape(kReadReply);
        const ShapedReply b = second.shape(kReadReply);
        EXPECT_EQ(a.bytes, b.bytes);
        seedsDiffer = seedsDiffer || otherSeed.shape(kReadReply).bytes != a.bytes;
        EXPECT_EQ(a.bytes.size(), kReadReply.size() + static_cast<std::size_t>(a.noiseBytes));
        // Taking out the noise gives the reply back.
        std::size_t next = 0;
        for (std::uint8_t byte : a.bytes) {
            if (next < kReadReply.size() && byte == kReadReply[next])
                ++next;
        }
        EXPECT_EQ(next, kReadReply.size());
        noise += a.noiseBytes;
    }
    EXPECT_TRUE(seedsDiffer);
    // 280 chances at 0.3: far outside 40..130 only by a broken generator.
    EXPECT_GT(noise, 40);
    EXPECT_LT(noise, 130);
}

TEST(FaultInjector, FullNoiseRatePutsANoiseByteBeforeEveryByte)
{
    FaultPlan plan;
    plan.noiseRate = 1.0;
    FaultInjector faults(plan);
    const ShapedReply reply = faults.shape(kReadReply);
    ASSERT_EQ(reply.bytes.size(), 2 * kReadReply.size());
    for (std::size_t i = 0; i < kReadReply.size(); ++i)
        EXPECT_EQ(reply.bytes[2 * i + 1], kReadReply[i]);
}

} // namespace
} // namespace pravenor::sim
