#include "fake_port.h"
#include "link/byte_layer.h"
#include "link/control_chars.h"
#include "link/incoming_text.h"
#include "link_fixture.h"

#include <gtest/gtest.h>

using namespace pravenor;
using pravenor::test::FakePort;

TEST(ByteLayer, RefusesValuesOutsideAByteWithoutTouchingTheLine)
{
    FakePort port;
    link::ByteLayer bytes(port);
    bytes.Checksum = 17;
    EXPECT_EQ(bytes.SendByte(256), -1);
    EXPECT_EQ(bytes.SendByte(-1), -1);
    EXPECT_EQ(bytes.SendByteSum(300), -1);
    EXPECT_TRUE(port.written.empty());
    EXPECT_FALSE(bytes.TxActivity);
    EXPECT_EQ(bytes.Checksum, 17);

    EXPECT_EQ(bytes.SendByteSum(0xFF), 0);
    EXPECT_TRUE(bytes.TxActivity);
    EXPECT_EQ(port.written, std::vector<std::uint8_t>{0xFF});
    EXPECT_EQ(bytes.Checksum, (17 + 0xFF) % 256);
}

TEST(ByteLayer, AByteThatThePortFailsToSendIsNotCounted)
{
    FakePort port;
    port.writeSucceeds = false;
    link::ByteLayer bytes(port);
    EXPECT_EQ(bytes.SendByteSum(0x20), -1);
    EXPECT_EQ(bytes.Checksum, 0);
}

TEST(ByteLayer, ReadsZeroBytesAndReportsAnEmptyInput)
{
    FakePort port;
    link::ByteLayer bytes(port);
    EXPECT_EQ(bytes.ReadByte(), -1);
    EXPECT_FALSE(bytes.RxActivity);

    port.feed(std::vector<std::uint8_t>{0x00, 0xFF});
    EXPECT_EQ(bytes.ReadByte(), 0);
    EXPECT_TRUE(bytes.RxActivity);
    EXPECT_EQ(bytes.ReadByte(), 0xFF);
    EXPECT_EQ(bytes.ReadByte(), -1);

    port.feed("abc");
    bytes.ClearInput();
    EXPECT_EQ(bytes.ReadByte(), -1);
}

TEST(ByteLayer, ChecksumArithmetic)
{
    FakePort port;
    link::ByteLayer bytes(port);
    bytes.Checksum = 200;
    bytes.AddToChecksum(100);
    EXPECT_EQ(bytes.Checksum, 44);
    bytes.Checksum = 0;
    EXPECT_EQ(bytes.ChecksumByte(), 0);
    bytes.Checksum = 0x5C;
    EXPECT_EQ(bytes.ChecksumByte(), 0xA4);
    bytes.Checksum = 255;
    bytes.AddToChecksum(1);
    EXPECT_EQ(bytes.Checksum, 0);
}

TEST(ControlChars, NamesEveryControlByte)
{
    const char* names[] = {"[NULL]", "[SOH]", "[STX]", "[ETX]", "[EOT]", "[ENQ]",  "[ACK]", "[BEL]",
                           "[BS]",   "[HT]",  "[LF]",  "[VT]",  "[FF]",  "[CR]",   "[SO]",  "[SI]",
                           "[DLE]",  "[DC1]", "[DC2]", "[DC3]", "[DC4]", "[NACK]", "[SYN]", "[ETB]",
                           "[CAN]",  "[EM]",  "[SUB]", "[ESC]", "[FS]",  "[GS]",   "[RS]",  "[US]"};
    for (int b = 0; b < 32; ++b)
        EXPECT_EQ(link::ControlCharName(b), names[b]) << b;
    EXPECT_EQ(link::ControlCharName(127), "[RUBOUT]");
    EXPECT_EQ(link::ControlCharName(65), "A");
    EXPECT_EQ(link::ControlCharName(32), " ");
    EXPECT_EQ(link::ControlCharName(128), std::string(1, '\x80'));
    EXPECT_EQ(link::ControlCharName(255), std::string(1, '\xFF'));
}

TEST(ControlChars, VisibleTextBracketsWhatCouldDriveAScreen)
{
    EXPECT_EQ(link::VisibleText("Hall door \xE9\x80"), "Hall door \xE9\x80");
    EXPECT_EQ(link::VisibleText(std::string("\x1b[2J\x00\x7f", 6)), "[ESC][2J[NULL][RUBOUT]");
    EXPECT_EQ(link::VisibleText("\x81\x8D\x8F\x90\x9D\x9B"), "[81][8D][8F][90][9D]\x9B");
}

TEST(ControlChars, HexDigitValueReadsOnlyTheFirstCharacter)
{
    struct Case
    {
        const char* text;
        int value;
    };
    for (const Case& c :
         {Case{"0", 0}, Case{"9", 9}, Case{"A", 10}, Case{"F", 15}, Case{"a", 10}, Case{"f", 15},
          Case{"b7", 11}, Case{"-", 15}, Case{"G", 0}, Case{"", 0}, Case{" 5", 0}, Case{"g", 0}})
        EXPECT_EQ(link::HexDigitValue(c.text), c.value) << '"' << c.text << '"';
}

class IncomingTextTest : public ::testing::Test
{
protected:
    FakePort port;
    test::LinkWorld world{port};
    link::ByteLayer bytes{port};
    link::IncomingText incoming;
};

TEST_F(IncomingTextTest, LogsALinePerLineEnd)
{
    port.feed(std::vector<std::uint8_t>{0x4F, 0x4B, 0x0D, 0x0A});
    incoming.CollectIncomingText(bytes, world.log);
    EXPECT_EQ(world.logMessages(), std::vector<std::string>{"OK"});
    EXPECT_TRUE(incoming.RxText.empty());

    port.feed(std::vector<std::uint8_t>{0x02, 0x41, 0x0D});
    incoming.CollectIncomingText(bytes, world.log);
    EXPECT_EQ(world.logMessages().back(), "[STX]A");
}

TEST_F(IncomingTextTest, KeepsAnUnfinishedLineForTheNextCall)
{
    port.feed("PARTI");
    incoming.CollectIncomingText(bytes, world.log);
    EXPECT_TRUE(world.logMessages().empty());
    EXPECT_EQ(incoming.RxText, "PARTI");
    port.feed("AL\n");
    incoming.CollectIncomingText(bytes, world.log);
    EXPECT_EQ(world.logMessages(), std::vector<std::string>{"PARTIAL"});
}

TEST_F(IncomingTextTest, BreaksAnEndlessLineAfter131Characters)
{
    port.feed(std::string(130, 'x'));
    incoming.CollectIncomingText(bytes, world.log);
    EXPECT_TRUE(world.logMessages().empty());
    port.feed(std::string(1, 'y'));
    incoming.CollectIncomingText(bytes, world.log);
    ASSERT_EQ(world.logMessages().size(), 1u);
    // append, not operator+: with the test headers precompiled, GCC 12 takes the latter for an
    // out-of-bounds copy (a false -Warray-bounds).
    EXPECT_EQ(world.logMessages()[0], std::string(130, 'x').append("y"));
}
