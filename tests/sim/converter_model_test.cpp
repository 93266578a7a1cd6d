#include "hex_bytes.h"
#include "sim/converter_model.h"
#include "sim/line_timing.h"

#include <chrono>
#include <gtest/gtest.h>

namespace pravenor::sim {

void PrintTo(const PagerCall& call, std::ostream* out)
{
    *out << "{A: \"" << call.bufferPosition << "\", 1: \"" << call.address
         << "\", 2: " << (call.displayText ? "\"" + *call.displayText + "\"" : std::string("none"))
         << ", 3: \"" << call.bleepCode << "\"}";
}

namespace {

using namespace std::chrono_literals;
using testing::Bytes;
using testing::hex;
using testing::hexOf;

// Feeds a frame a byte time apart from `start` and returns the replies it produced, one
// after the other.
Bytes feed(ConverterModel& model, const Bytes& bytes, Micros start = Micros{0})
{
    Bytes replies;
    Micros at = start;
    for (std::uint8_t byte : bytes) {
        if (std::optional<FrameOutcome> outcome = model.receive(byte, at))
            replies.insert(replies.end(), outcome->reply.begin(), outcome->reply.end());
        at += kByteTime;
    }
    return replies;
}

std::string exchange(ConverterModel& model, std::string_view request)
{
    return hexOf(feed(model, hex(request)));
}

TEST(ConverterModel, AnswersTheDocumentedRequests)
{
    ConverterModel model;
    ASSERT_TRUE(model.setNumber(5, 7));

    EXPECT_EQ(exchange(model, "01 09 01 00 02 77 1F 05 1E 3A"),
              "01 0D 00 01 06 77 1F 05 1E 77 1F 07 1E 77");

    EXPECT_EQ(exchange(model, "01 0D 01 00 02 57 1F 05 1E 77 1F 03 1E 9F"), "01 06 00 01 06 57 9B");
    EXPECT_EQ(model.number(5), 3);

    EXPECT_EQ(exchange(model, "01 06 01 00 02 52 A4"), "01 06 00 01 06 52 A0");
    EXPECT_EQ(model.restarts(), 1);

    EXPECT_EQ(exchange(model, "01 06 01 00 02 32 C4"), "01 09 00 01 06 32 1F 30 1E 50");
}

TEST(ConverterModel, PagerCallOfTheExampleIsStoredAndAcknowledged)
{
    ConverterModel model;
    // Buffer position 3, address 1234, no display text, bleep code 2: LEN 20.
    EXPECT_EQ(exchange(model, "01 14 01 00 02 41 1F 33 1E 31 1F 31 32 33 34 1E 33 1F 32 1E 5D"),
              "01 06 00 01 06 41 B1");
    ASSERT_TRUE(model.lastPagerCall().has_value());
    EXPECT_EQ(*model.lastPagerCall(), (PagerCall{"3", "1234", std::nullopt, "2"}));

    // Position 7, address 99, display text "Fire!", bleep code A.
    EXPECT_EQ(exchange(model, "01 1A 01 00 02 41 1F 37 1E 31 1F 39 39 1E 32 1F 46 69 72 65 21 1E "
                              "33 1F 41 1E 86"),
              "01 06 00 01 06 41 B1");
    EXPECT_EQ(*model.lastPagerCall(), (PagerCall{"7", "99", "Fire!", "A"}));
    EXPECT_EQ(model.pagerCalls(), 2);
}

TEST(ConverterModel, MalformedPagerCallIsRefusedAndForgotten)
{
    ConverterModel model;
    // Without the bleep code field; then with a field "4" after it.
    EXPECT_EQ(exchange(model, "01 0E 01 00 02 41 1F 33 1E 31 1F 31 32 1E 6C"),
              "01 06 00 01 15 41 A2");
    EXPECT_EQ(
        exchange(model, "01 16 01 00 02 41 1F 33 1E 31 1F 31 32 1E 33 1F 32 1E 34 1F 39 1E 18"),
        "01 06 00 01 15 41 A2");
    EXPECT_EQ(model.pagerCalls(), 0);
    EXPECT_FALSE(model.lastPagerCall().has_value());
}

struct WriteThenRead
{
    const char* kind;
    const char* write;
    const char* read;
    const char* readReply;
};

TEST(ConverterModel, WrittenValueIsReadBackForEachKindOfItem)
{
    const WriteThenRead cases[] = {
        {"byte item 44 = 200", "01 0D 01 00 02 57 1F 2C 1E 77 1F C8 1E B3",
         "01 09 01 00 02 77 1F 2C 1E 13", "01 0D 00 01 06 77 1F 2C 1E 77 1F C8 1E 8F"},
        // The converter keeps any byte; limiting it is the program's business.
        {"byte item 0 = 255", "01 0D 01 00 02 57 1F 00 1E 77 1F FF 1E A8",
         "01 09 01 00 02 77 1F 00 1E 3F", "01 0D 00 01 06 77 1F 00 1E 77 1F FF 1E 84"},
        {"code item 60 = C", "01 0D 01 00 02 57 1F 3C 1E 77 1F 43 1E 28",
         "01 09 01 00 02 77 1F 3C 1E 03", "01 0D 00 01 06 77 1F 3C 1E 77 1F 43 1E 04"},
        // Code 0 goes out as the byte 0 and comes back as the digit 0.
        {"code item 60 = 0", "01 0D 01 00 02 57 1F 3C 1E 77 1F 00 1E 6B",
         "01 09 01 00 02 77 1F 3C 1E 03", "01 0D 00 01 06 77 1F 3C 1E 77 1F 30 1E 17"},
        {"code item 91 = F", "01 0D 01 00 02 57 1F 5B 1E 77 1F 46 1E 06",
         "01 09 01 00 02 77 1F 5B 1E E4", "01 0D 00 01 06 77 1F 5B 1E 77 1F 46 1E E2"},
        {"text item 100",
         "01 19 01 00 02 57 1F 64 1E 77 1F 4D 61 69 6E 20 65 6E 74 72 61 6E 63 65 1E 42",
         "01 09 01 00 02 77 1F 64 1E DB",
         "01 19 00 01 06 77 1F 64 1E 77 1F 4D 61 69 6E 20 65 6E 74 72 61 6E 63 65 1E 1E"},
        {"empty text item 147", "01 0C 01 00 02 57 1F 93 1E 77 1F 1E 15",
         "01 09 01 00 02 77 1F 93 1E AC", "01 0C 00 01 06 77 1F 93 1E 77 1F 1E F1"},
    };
    for (const WriteThenRead& c : cases) {
        SCOPED_TRACE(c.kind);
        ConverterModel model;
        model.setNumber(60, 5); // so that writing code 0 has something to change
        model.setText(147, "old");
        EXPECT_EQ(exchange(model, c.write), "01 06 00 01 06 57 9B");
        EXPECT_EQ(exchange(model, c.read), c.readReply);
    }
}

TEST(ConverterModel, KeepsOnlyValuesTheConverterCanHold)
{
    ConverterModel model;
    EXPECT_TRUE(model.setNumber(60, 15));
    EXPECT_FALSE(model.setNumber(60, 16));
    EXPECT_FALSE(model.setNumber(44, 256));
    EXPECT_FALSE(model.setNumber(1, 0));  // not exchanged
    EXPECT_FALSE(model.setText(92, "x")); // reserved
    EXPECT_FALSE(model.setText(100, std::string(244, 'x')));
    EXPECT_TRUE(model.setText(100, std::string(243, 'x')));
    EXPECT_EQ(model.number(60), 15);
}

TEST(ConverterModel, RefusesWhatItCannotHold)
{
    const struct
    {
        const char* why;
        const char* request;
        const char* reply;
    } cases[] = {
        {"code item given G", "01 0D 01 00 02 57 1F 3C 1E 77 1F 47 1E 24", "01 06 00 01 15 57 8C"},
        {"code item given the digit 0", "01 0D 01 00 02 57 1F 3C 1E 77 1F 30 1E 3B",
         "01 06 00 01 15 57 8C"},
        {"write of item 1", "01 0D 01 00 02 57 1F 01 1E 77 1F 00 1E A6", "01 06 00 01 15 57 8C"},
        {"two value bytes for item 17", "01 0E 01 00 02 57 1F 11 1E 77 1F 01 02 1E 92",
         "01 06 00 01 15 57 8C"},
        {"read of item 1", "01 09 01 00 02 77 1F 01 1E 3E", "01 06 00 01 15 77 6C"},
        {"read of reserved item 92", "01 09 01 00 02 77 1F 5C 1E E3", "01 06 00 01 15 77 6C"},
        {"unknown command X", "01 06 01 00 02 58 9E", "01 06 00 01 15 58 8B"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        ConverterModel model;
        model.setNumber(60, 9);
        EXPECT_EQ(exchange(model, c.request), c.reply);
        EXPECT_EQ(model.number(60), 9);
        EXPECT_EQ(model.number(17), 0);
    }
}

TEST(ConverterModel, BufferPositionAnswerCanBeSetOrSpoilt)
{
    ConverterModel model;
    ASSERT_TRUE(model.setBufferPosition(3));
    EXPECT_EQ(exchange(model, "01 06 01 00 02 32 C4"), "01 09 00 01 06 32 1F 33 1E 4D");
    model.setBufferPositionByte('X');
    EXPECT_EQ(exchange(model, "01 06 01 00 02 32 C4"), "01 09 00 01 06 32 1F 58 1E 28");
    EXPECT_FALSE(model.setBufferPosition(10));
    EXPECT_EQ(model.bufferPositionByte(), 'X');
}

TEST(ConverterModel, SilentOnFramesThatAreNotGoodRequests)
{
    const struct
    {
        const char* why;
        const char* bytes;
    } cases[] = {
        {"wake-up sequence", "01 01 80 7F"},
        {"bad checksum", "01 09 01 00 02 77 1F 05 1E 3B"},
        {"another header", "01 09 01 00 03 77 1F 05 1E 39"},
        {"text outside frames", "4F 4B 0D 0A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        ConverterModel model;
        EXPECT_EQ(exchange(model, c.bytes), "");
        // Nothing is left half taken in: the next request is answered.
        EXPECT_EQ(exchange(model, "01 09 01 00 02 77 1F 05 1E 3A"),
                  "01 0D 00 01 06 77 1F 05 1E 77 1F 00 1E 7E");
    }
}

TEST(ConverterModel, WakeUpSequenceRightBeforeARequestDoesNotHarmIt)
{
    ConverterModel model;
    EXPECT_EQ(exchange(model, "01 01 80 7F 01 09 01 00 02 77 1F 05 1E 3A"),
              "01 0D 00 01 06 77 1F 05 1E 77 1F 00 1E 7E");
}

TEST(ConverterModel, BadChecksumIsReportedButNotAnswered)
{
    ConverterModel model;
    std::optional<FrameOutcome> last;
    for (std::uint8_t byte : hex("01 09 01 00 02 77 1F 05 1E 3B"))
        last = model.receive(byte, Micros{0});
    ASSERT_TRUE(last.has_value());
    EXPECT_FALSE(last->request.checksumOk);
    EXPECT_EQ(hexOf(last->request.bytes), "01 09 01 00 02 77 1F 05 1E 3B");
    EXPECT_TRUE(last->reply.empty());
}

TEST(ConverterModel, PartialFrameIsForgottenAfterAQuietGap)
{
    const Bytes request = hex("01 09 01 00 02 77 1F 05 1E 3A");
    const Bytes head(request.begin(), request.begin() + 5);
    const Bytes tail(request.begin() + 5, request.end());

    ConverterModel model;
    EXPECT_TRUE(feed(model, head).empty());
    EXPECT_TRUE(model.inFrame(50ms));
    EXPECT_FALSE(model.inFrame(150ms));
    // After 150 ms the old head is gone and a whole new request is answered.
    EXPECT_EQ(hexOf(feed(model, request, 150ms)), "01 0D 00 01 06 77 1F 05 1E 77 1F 00 1E 7E");

    // A pause shorter than the gap joins the two halves.
    ConverterModel patient;
    EXPECT_TRUE(feed(patient, head).empty());
    EXPECT_EQ(hexOf(feed(patient, tail, 50ms)), "01 0D 00 01 06 77 1F 05 1E 77 1F 00 1E 7E");
}

} // namespace
} // namespace pravenor::sim
