#include "link/qt/qt_serial_port.h"

#include "app/cp1252.h"
#include "link/line_address.h"

#include <QMetaObject>
#include <QString>
#include <algorithm>
#include <climits>
#include <optional>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace pravenor::link {

namespace {

// Qt's data-bits and stop-bits values are the counts themselves (Data5 is 5, TwoStop is 2;
// one and a half stop bits is 3, which no count means).
std::optional<QSerialPort::DataBits> toDataBits(int bits)
{
    if (bits < QSerialPort::Data5 || bits > QSerialPort::Data8)
        return std::nullopt;
    return static_cast<QSerialPort::DataBits>(bits);
}

std::optional<QSerialPort::StopBits> toStopBits(int bits)
{
    if (bits != QSerialPort::OneStop && bits != QSerialPort::TwoStop)
        return std::nullopt;
    return static_cast<QSerialPort::StopBits>(bits);
}

QSerialPort::Parity toQtParity(Parity parity)
{
    switch (parity) {
    case Parity::Even:
        return QSerialPort::EvenParity;
    case Parity::Odd:
        return QSerialPort::OddParity;
    case Parity::None:
        break;
    }
    return QSerialPort::NoParity;
}

std::string toCp1252(const QString& text)
{
    return app::Utf8ToCp1252(text.toStdString());
}

#ifdef Q_OS_UNIX
// The device as the system names it: /dev/serial/by-id links, other links and a link to a
// pseudo-terminal all lead to one name. A name that leads nowhere stays as given, for the
// open to report.
std::string resolvedDevice(const std::string& device)
{
    char resolved[PATH_MAX];
    if (::realpath(device.c_str(), resolved) == nullptr)
        return device;
    return resolved;
}

// The process holding a lock on the device, as /proc/locks tells (0 when it does not).
long lockHolder(const std::string& device)
{
    struct stat info
    {
    };
    if (::stat(device.c_str(), &info) != 0)
        return 0;
    std::FILE* locks = std::fopen("/proc/locks", "re");
    if (locks == nullptr)
        return 0;
    char wanted[64];
    std::snprintf(wanted, sizeof wanted, "%02x:%02x:%lu", major(info.st_dev), minor(info.st_dev),
                  static_cast<unsigned long>(info.st_ino));
    long holder = 0;
    char line[256];
    while (holder == 0 && std::fgets(line, sizeof line, locks) != nullptr) {
        char kind[16] = {};
        long pid = 0;
        char where[64] = {};
        // "1: FLOCK  ADVISORY  WRITE 4242 00:05:87 0 EOF"
        if (std::sscanf(line, "%*s %15s %*s %*s %ld %63s", kind, &pid, where) == 3 &&
            std::string(where) == wanted && pid > 0)
            holder = pid;
    }
    std::fclose(locks);
    return holder;
}

std::string inUseText(const std::string& device)
{
    const long holder = lockHolder(device);
    return "the port is in use by another program" +
           (holder > 0 ? " (process " + std::to_string(holder) + ")" : std::string());
}
#endif

} // namespace

QtSerialPort::QtSerialPort()
{
    QObject::connect(&m_port, &QSerialPort::errorOccurred, &m_port,
                     [this](QSerialPort::SerialPortError error) { onErrorOccurred(error); });
}

QtSerialPort::~QtSerialPort()
{
    close();
}

bool QtSerialPort::closesPort(QSerialPort::SerialPortError error)
{
    switch (error) {
    // Not found or refused on a port that was open: the device has gone (on Windows a pulled
    // USB adapter often reports access denied).
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::PermissionError:
    // The driver failed a transfer: bytes are lost and the line's state is unknown, and the
    // link's only recovery for that is to reopen.
    case QSerialPort::WriteError:
    case QSerialPort::ReadError:
    // The device vanished or the handle broke. QSerialPort also stops reading after this, so
    // the port would stay silent even if the device came back.
    case QSerialPort::ResourceError:
    // Nothing tells whether the line still works; reopening is cheap and the link does it
    // anyway, a silently dead port is not.
    case QSerialPort::UnknownError:
        return true;
    case QSerialPort::NoError:
    // Only raised by opening an open port; the port that is open is not affected.
    case QSerialPort::OpenError:
    // A request the driver does not support (modem lines on a pseudo-terminal, an unusual
    // speed); the line itself still works.
    case QSerialPort::UnsupportedOperationError:
    // Only the waitFor functions time out, and this class never calls them.
    case QSerialPort::TimeoutError:
    // An operation on a closed port: there is nothing left to close.
    case QSerialPort::NotOpenError:
        return false;
    }
    return true;
}

OpenResult QtSerialPort::openFailure(QSerialPort::SerialPortError error)
{
    // Qt reports a device held by another program (busy, or locked) as a permission error
    // too; for the engineer both mean "free this port or pick another".
    return error == QSerialPort::PermissionError ? OpenResult::PermissionDenied
                                                 : OpenResult::Failed;
}

OpenResult QtSerialPort::open(const LineAddress& address, const LineSettings& settings)
{
    if (address.kind() != LineAddress::Kind::Network)
        return open(address.device(), settings);
    close();
    m_lastErrorText = "not a serial device";
    return OpenResult::Failed;
}

OpenResult QtSerialPort::open(const std::string& device, const LineSettings& settings)
{
    close();
    m_lastErrorText.clear();
    m_deviceLost = false;
    m_lastProbe.reset();

    const auto dataBits = toDataBits(settings.dataBits);
    const auto stopBits = toStopBits(settings.stopBits);
    if (!dataBits || !stopBits || settings.baudRate <= 0) {
        m_lastErrorText = "Unsupported line settings";
        return OpenResult::Failed;
    }

#ifdef Q_OS_UNIX
    m_device = resolvedDevice(device);
    if (!lockDevice(m_device))
        return OpenResult::InUse;
#else
    m_device = device;
#endif
    m_port.setPortName(QString::fromStdString(app::Cp1252ToUtf8(m_device)));
    m_port.setBaudRate(settings.baudRate);
    m_port.setDataBits(*dataBits);
    m_port.setParity(toQtParity(settings.parity));
    m_port.setStopBits(*stopBits);
    m_port.setFlowControl(settings.rtsHandshake ? QSerialPort::HardwareControl
                                                : QSerialPort::NoFlowControl);

    // Errors raised while opening belong to this call's result, not to the error handler.
    m_opening = true;
    const bool opened = m_port.open(QIODevice::ReadWrite);
    if (opened) {
        // Pseudo-terminals and some adapters have no modem lines; failing to set them does
        // not make the port unusable, so the results are deliberately not checked.
        m_port.setDataTerminalReady(false);
        if (!settings.rtsHandshake) {
            m_port.setRequestToSend(settings.rtsEnable);
        }
        // A leftover error would otherwise read as a lost device in isOpen().
        m_port.clearError();
    }
    m_opening = false;

    if (!opened) {
        unlockDevice();
        m_lastErrorText = toCp1252(m_port.errorString());
        OpenResult result = openFailure(m_port.error());
#ifdef Q_OS_UNIX
        // Qt says "permission" for a device another program has locked too; only a device
        // this user may not open is a matter of group membership.
        if (result == OpenResult::PermissionDenied &&
            ::access(m_device.c_str(), R_OK | W_OK) == 0) {
            m_lastErrorText = inUseText(m_device);
            result = OpenResult::InUse;
        }
#elif defined(Q_OS_WIN)
        // A Com port is exclusive by itself there: access denied means another program has it
        // open, and no group membership would help. Windows does not tell which program.
        if (result == OpenResult::PermissionDenied) {
            m_lastErrorText = "the port is in use by another program";
            result = OpenResult::InUse;
        }
#endif
        return result;
    }
    return OpenResult::Opened;
}

void QtSerialPort::close()
{
    if (m_port.isOpen()) {
        m_port.close();
    }
    unlockDevice();
    m_deviceLost = false;
}

// One program per converter: two would answer each other's replies. The lock is taken on the
// device itself, under the name every link leads to, so another name for the same device finds
// it taken; and unlike the exclusive mode of a tty it holds against root as well. It is taken
// before Qt touches the line, so that the other program's line settings stay as they are.
// Windows opens a Com port for one program only, so there nothing more is needed.
bool QtSerialPort::lockDevice(const std::string& device)
{
#ifdef Q_OS_UNIX
    unlockDevice();
    int handle = -1;
    do {
        handle = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (handle < 0 && errno == EINTR);
    if (handle < 0) {
        // A tty another program opened exclusively refuses every other opener but root.
        if (errno == EBUSY) {
            m_lastErrorText = inUseText(device);
            return false;
        }
        return true; // Qt's own open says what is wrong with the device
    }
    if (::flock(handle, LOCK_EX | LOCK_NB) != 0) {
        ::close(handle);
        m_lastErrorText = inUseText(device);
        return false;
    }
    m_lockHandle = handle;
#else
    (void)device;
#endif
    return true;
}

void QtSerialPort::unlockDevice()
{
#ifdef Q_OS_UNIX
    if (m_lockHandle >= 0) {
        ::close(m_lockHandle);
        m_lockHandle = -1;
    }
#endif
}

bool QtSerialPort::isOpen()
{
    if (!m_port.isOpen()) {
        return false;
    }
    if (m_deviceLost || closesPort(m_port.error())) {
        closeLostPort(nullptr);
        return false;
    }
    if (deviceHungUp()) {
        closeLostPort("The device has hung up");
        return false;
    }
    return true;
}

int QtSerialPort::bytesWaiting()
{
    if (!isOpen()) {
        return 0;
    }
    return static_cast<int>(std::min<qint64>(m_port.bytesAvailable(), INT_MAX));
}

int QtSerialPort::readByte()
{
    if (!isOpen() || m_port.bytesAvailable() < 1) {
        return -1;
    }
    char byte = 0;
    if (!m_port.getChar(&byte)) {
        return -1;
    }
    return static_cast<unsigned char>(byte);
}

bool QtSerialPort::writeByte(std::uint8_t byte)
{
    if (!isOpen()) {
        return false;
    }
    // Queued only: flush() would write at once, but a full output queue then reads as
    // EAGAIN, which Qt reports as a resource error, i.e. a lost device.
    const char data = static_cast<char>(byte);
    return m_port.write(&data, 1) == 1;
}

void QtSerialPort::discardInput()
{
    if (!isOpen()) {
        return;
    }
    m_port.clear(QSerialPort::Input);
    // What QSerialPort already took from the driver goes as well.
    m_port.skip(m_port.bytesAvailable());
}

void QtSerialPort::onErrorOccurred(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || m_opening) {
        return;
    }
    m_lastErrorText = toCp1252(m_port.errorString());
    if (!closesPort(error) || !m_port.isOpen()) {
        return;
    }
    m_deviceLost = true;
    // Not closed here: the signal comes from inside QSerialPort's own notifier, which closing
    // deletes. The flag already makes isOpen() false; the queued call releases the device
    // even when nobody asks, and does nothing if the port was reopened meanwhile.
    QMetaObject::invokeMethod(
        &m_port,
        [this] {
            if (m_deviceLost) {
                closeLostPort(nullptr);
            }
        },
        Qt::QueuedConnection);
}

bool QtSerialPort::deviceHungUp()
{
#ifdef Q_OS_UNIX
    // The engine asks for every item it examines, up to 250 times a tick; one system call a
    // millisecond is soon enough to notice a lost device.
    const auto now = std::chrono::steady_clock::now();
    if (m_lastProbe && now - *m_lastProbe < std::chrono::milliseconds(1))
        return false;
    m_lastProbe = now;
    // A tty whose device has gone (USB adapter pulled, pseudo-terminal master closed) is hung
    // up. Qt only notices when a read fails, which needs the event loop, and a hung-up tty may
    // read as end of file instead, which Qt does not count as an error. poll() tells at once.
    pollfd probe{};
    probe.fd = m_port.handle();
    probe.events = 0;
    if (::poll(&probe, 1, 0) != 1) {
        return false;
    }
    return (probe.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#else
    return false;
#endif
}

void QtSerialPort::closeLostPort(const char* reason)
{
    if (reason != nullptr && m_lastErrorText.empty()) {
        m_lastErrorText = reason;
    }
    close();
}

} // namespace pravenor::link
