// The bytes each exchange puts on the line, and how a read reply's value is decoded.
// Expected frames are written out by hand, checksums included.
#include "fake_port.h"
#include "link/byte_layer.h"
#include "link/frame_receiver.h"
#include "link/service_exchange.h"
#include "link/setting_exchange.h"
#include "link_fixture.h"

#include <gtest/gtest.h>

using namespace pravenor;
using pravenor::test::FakePort;
using settings::SettingValue;
using Bytes = std::vector<std::uint8_t>;

class ExchangeFrames : public ::testing::Test
{
protected:
    Bytes sent()
    {
        Bytes out = serial.written;
        serial.written.clear();
        return out;
    }
    // Places a received reply in the receive buffer as reception would.
    void received(const Bytes& reply)
    {
        receiver.clearBuffer(200);
        for (std::size_t i = 0; i < reply.size(); ++i)
            receiver.RxBuffer[i] = reply[i];
        receiver.RxCount = static_cast<int>(reply.size());
    }

    FakePort serial;
    test::LinkWorld world{serial};
    link::ByteLayer bytes{serial};
    link::FrameReceiver receiver;
    link::SettingExchange exchange{bytes, receiver, world.sync, world.debugLevel};
    link::ServiceExchange service{bytes, receiver, world.controls};
};

TEST_F(ExchangeFrames, ReadRequest)
{
    EXPECT_EQ(exchange.SendReadRequest(5), 1);
    EXPECT_EQ(sent(), (Bytes{0x01, 0x09, 0x01, 0x00, 0x02, 0x77, 0x1F, 0x05, 0x1E, 0x3A}));
}

TEST_F(ExchangeFrames, WriteFramesOfNumbersBleepCodesAndTexts)
{
    EXPECT_EQ(exchange.SendWriteFrame(5, SettingValue::Number(3)), 1);
    EXPECT_EQ(sent(), (Bytes{0x01, 0x0D, 0x01, 0x00, 0x02, 0x57, 0x1F, 0x05, 0x1E, 0x77, 0x1F, 0x03,
                             0x1E, 0x9F}));

    // A value read from the converter is a text; it is written as the number it reads as.
    EXPECT_EQ(exchange.SendWriteFrame(5, SettingValue::Text("3")), 1);
    EXPECT_EQ(sent(), (Bytes{0x01, 0x0D, 0x01, 0x00, 0x02, 0x57, 0x1F, 0x05, 0x1E, 0x77, 0x1F, 0x03,
                             0x1E, 0x9F}));

    EXPECT_EQ(exchange.SendWriteFrame(60, SettingValue::Number(12)), 1);
    EXPECT_EQ(sent(), (Bytes{0x01, 0x0D, 0x01, 0x00, 0x02, 0x57, 0x1F, 0x3C, 0x1E, 0x77, 0x1F, 0x43,
                             0x1E, 0x28}));
    EXPECT_EQ(exchange.SendWriteFrame(60, SettingValue::Number(0)), 1);
    EXPECT_EQ(sent(), (Bytes{0x01, 0x0D, 0x01, 0x00, 0x02, 0x57, 0x1F, 0x3C, 0x1E, 0x77, 0x1F, 0x00,
                             0x1E, 0x6B}));
    // Only the first hexadecimal digit of 20 ("14") goes out.
    EXPECT_EQ(exchange.SendWriteFrame(60, SettingValue::Number(20)), 1);
    EXPECT_EQ(sent(), (Bytes{0x01, 0x0D, 0x01, 0x00, 0x02, 0x57, 0x1F, 0x3C, 0x1E, 0x77, 0x1F, 0x31,
                             0x1E, 0x3A}));
    EXPECT_EQ(exchange.SendWriteFrame(60, SettingValue::Number(300)), -1);
    EXPECT_TRUE(sent().empty());

    EXPECT_EQ(exchange.SendWriteFrame(100, SettingValue::Text("")), 1);
    EXPECT_EQ(sent(), (Bytes{0x01, 0x0C, 0x01, 0x00, 0x02, 0x57, 0x1F, 0x64, 0x1E, 0x77, 0x1F, 0x1E,
                             0x44}));
    EXPECT_EQ(exchange.SendWriteFrame(132, SettingValue::Text("AB")), 1);
    EXPECT_EQ(sent(), (Bytes{0x01, 0x0E, 0x01, 0x00, 0x02, 0x57, 0x1F, 0x84, 0x1E, 0x77, 0x1F, 0x41,
                             0x42, 0x1E, 0x9F}));
}

TEST_F(ExchangeFrames, ValuesThatDoNotFitTheFrameAreNotSent)
{
    EXPECT_EQ(exchange.SendWriteFrame(9, SettingValue::Number(-1)), -1);
    EXPECT_EQ(exchange.SendWriteFrame(44, SettingValue::Number(256)), -1);
    EXPECT_EQ(exchange.SendWriteFrame(60, SettingValue::Number(-1)), -1);
    EXPECT_EQ(exchange.SendWriteFrame(100, SettingValue::Text(std::string(244, 'x'))), -1);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(exchange.SendWriteFrame(44, SettingValue::Number(255)), 1);
    EXPECT_EQ(exchange.SendWriteFrame(100, SettingValue::Text(std::string(243, 'x'))), 1);
    EXPECT_EQ(sent().size(), 14u + 256u);
}

TEST_F(ExchangeFrames, ServiceFrames)
{
    service.startRestart();
    EXPECT_EQ(sent(), (Bytes{0x01, 0x06, 0x01, 0x00, 0x02, 0x52, 0xA4}));
    service.startPositionRequest();
    EXPECT_EQ(sent(), (Bytes{0x01, 0x06, 0x01, 0x00, 0x02, 0x32, 0xC4}));

    world.controls.setPagerInputs("1234", "", 2);
    service.PagerBufPos = 3;
    service.startCall();
    EXPECT_EQ(sent(), (Bytes{0x01, 0x14, 0x01, 0x00, 0x02, 0x41, 0x1F, 0x33, 0x1E, 0x31, 0x1F,
                             0x31, 0x32, 0x33, 0x34, 0x1E, 0x33, 0x1F, 0x32, 0x1E, 0x5D}));
}

TEST_F(ExchangeFrames, PagerCallTextCutsAndLeavesOutFields)
{
    service.PagerBufPos = 7;
    world.controls.setPagerInputs("123456789012", std::string(45, 'd'), -1);
    const std::string text = service.callText();
    EXPECT_EQ(text, "A\x1F"
                    "7\x1E"
                    "1\x1F"
                    "1234567890\x1E"
                    "2\x1F" +
                        std::string(40, 'd') +
                        "\x1E"
                        "3\x1F"
                        "FFFF\x1E");

    world.controls.setPagerInputs("55", "", 15);
    EXPECT_EQ(service.callText(), "A\x1F"
                                  "7\x1E"
                                  "1\x1F"
                                  "55\x1E"
                                  "3\x1F"
                                  "F\x1E");
}

TEST_F(ExchangeFrames, DecodeReadValueTable)
{
    struct Case
    {
        int item;
        int valueByte;
        std::string expected;
    };
    const Case cases[] = {
        {0, 2, "2"},     {0, 3, "0"},     {5, 9, "9"},      {5, 10, "0"},     {9, 3, "3"},
        {9, 7, "0"},     {10, 4, "4"},    {10, 5, "0"},     {11, 1, "1"},     {11, 2, "0"},
        {12, 2, "0"},    {13, 2, "2"},    {13, 3, "0"},     {14, 3, "0"},     {17, 1, "1"},
        {20, 1, "1"},    {43, 2, "0"},    {44, 150, "150"}, {44, 255, "250"}, {51, 251, "250"},
        {52, 30, "30"},  {52, 31, "30"},  {59, 200, "30"},  {60, 0x42, "11"}, {60, 0x2D, "15"},
        {60, 0x00, "0"}, {91, 0x37, "7"}, {91, 0x66, "15"}, {75, 0x5A, "0"},
    };
    for (const Case& c : cases) {
        received({0x01, 0x0D, 0x00, 0x01, 0x06, 0x77, 0x1F, std::uint8_t(c.item), 0x1E, 0x77, 0x1F,
                  std::uint8_t(c.valueByte), 0x1E, 0x00});
        EXPECT_EQ(exchange.DecodeReadValue(c.item), SettingValue::Text(c.expected))
            << "item " << c.item << " byte " << c.valueByte;
    }
    for (int unreadable : {1, 2, 3, 4, 6, 7, 8, 15, 16, 18, 19, 92, 99, 148, 250, 255})
        EXPECT_EQ(exchange.DecodeReadValue(unreadable), SettingValue::Number(-1)) << unreadable;
}

TEST_F(ExchangeFrames, DecodeReadValueOfTexts)
{
    received({0x01, 0x0C, 0x00, 0x01, 0x06, 0x77, 0x1F, 100, 0x1E, 0x77, 0x1F, 0x1E, 0x00});
    EXPECT_EQ(exchange.DecodeReadValue(100), SettingValue::Text(""));
    received({0x01, 0x0F, 0x00, 0x01, 0x06, 0x77, 0x1F, 147, 0x1E, 0x77, 0x1F, 'a', 0x00, 0xE9,
              0x1E, 0x00});
    EXPECT_EQ(exchange.DecodeReadValue(147), SettingValue::Text(std::string("a\0\xE9", 3)));
}

TEST_F(ExchangeFrames, AReplyWithoutAValueByteIsNotReadable)
{
    received({0x01, 0x08, 0x00, 0x01, 0x06, 0x77, 0x1F, 0x05, 0x00});
    EXPECT_EQ(exchange.DecodeReadValue(5), SettingValue::Number(-1));
}
