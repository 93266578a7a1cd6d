#pragma once

#include "link/line_address.h"
#include "link/serial_port.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace pravenor::test {

// A serial port whose input the test scripts and whose output it inspects.
class FakePort final : public link::SerialPort
{
public:
    link::OpenResult open(const link::LineAddress& address,
                          const link::LineSettings& settings) override
    {
        lastDevice = address.text();
        lastSettings = settings;
        ++openCount;
        isOpenNow = nextOpen == link::OpenResult::Opened;
        return nextOpen;
    }
    void close() override { isOpenNow = false; }
    bool isOpen() override
    {
        ++isOpenQueries;
        return isOpenNow;
    }
    bool ready() override { return isOpen() && connected; }
    int bytesWaiting() override { return static_cast<int>(input.size()); }
    int readByte() override
    {
        if (input.empty())
            return -1;
        const int byte = input.front();
        input.pop_front();
        return byte;
    }
    bool writeByte(std::uint8_t byte) override
    {
        written.push_back(byte);
        return writeSucceeds;
    }
    void discardInput() override { input.clear(); }
    std::string failureReason() const override { return reason; }

    void feed(const std::vector<std::uint8_t>& bytes)
    {
        input.insert(input.end(), bytes.begin(), bytes.end());
    }
    void feed(const std::string& bytes)
    {
        for (char c : bytes)
            input.push_back(static_cast<std::uint8_t>(c));
    }

    std::deque<std::uint8_t> input;
    std::vector<std::uint8_t> written;
    bool connected = true; // false: open, but like a network line still connecting
    link::OpenResult nextOpen = link::OpenResult::Opened;
    bool isOpenNow = false;
    bool writeSucceeds = true;
    int openCount = 0;
    long isOpenQueries = 0;
    std::string lastDevice;
    std::string reason; // of a failed open
    link::LineSettings lastSettings;
};

} // namespace pravenor::test
