#pragma once

#include "link/serial_port.h"

#include <QSerialPort>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace pravenor::link {

// The serial line over QSerialPort. QSerialPort moves bytes in the event loop: received bytes
// are taken into its buffer, and bytes written go out, when control returns to the loop. The
// window's timer ticks give it that chance, so no call here ever waits for the line.
class QtSerialPort final : public SerialPort
{
public:
    QtSerialPort();
    ~QtSerialPort() override;
    QtSerialPort(const QtSerialPort&) = delete;
    QtSerialPort& operator=(const QtSerialPort&) = delete;

    // Opens a port number's device or a device path; a network address fails.
    OpenResult open(const LineAddress& address, const LineSettings& settings) override;
    // device is the name as configured: "COM3", "/dev/ttyUSB0", a /dev/serial/by-id link.
    OpenResult open(const std::string& device, const LineSettings& settings);
    void close() override;
    bool isOpen() override;
    int bytesWaiting() override;
    int readByte() override;
    bool writeByte(std::uint8_t byte) override;
    void discardInput() override;

    // The system's words for the last failure (Windows-1252), for the log; empty after a
    // successful open.
    const std::string& lastErrorText() const { return m_lastErrorText; }
    std::string failureReason() const override { return m_lastErrorText; }

    // Whether an error reported while the port is open leaves it useless until reopened.
    static bool closesPort(QSerialPort::SerialPortError error);
    // What a failed open reports to the link.
    static OpenResult openFailure(QSerialPort::SerialPortError error);

private:
    void onErrorOccurred(QSerialPort::SerialPortError error);
    bool deviceHungUp();
    void closeLostPort(const char* reason);
    bool lockDevice(const std::string& device);
    void unlockDevice();

    std::string m_lastErrorText;
    bool m_opening = false;
    bool m_deviceLost = false;
    std::optional<std::chrono::steady_clock::time_point> m_lastProbe;
    int m_lockHandle = -1; // holds the device's lock while the port is open
    std::string m_device;  // the device as the system names it, every link followed
    // Last, so that it goes first: its destructor may still report an error to us.
    QSerialPort m_port;
};

} // namespace pravenor::link
