#include "link/net/network_port.h"

#include "app/cp1252.h"

#include <QString>
#include <algorithm>
#include <climits>

namespace pravenor::link {

namespace {

// The engineer's words for why a connection failed; the system's own for the rest.
std::string reasonFor(QAbstractSocket::SocketError error, const QString& systemText)
{
    switch (error) {
    case QAbstractSocket::HostNotFoundError:
        return "the name does not resolve";
    case QAbstractSocket::ConnectionRefusedError:
        return "connection refused, nothing listens there";
    case QAbstractSocket::RemoteHostClosedError:
        return "the server closed the connection";
    case QAbstractSocket::SocketTimeoutError:
        return "timed out";
    case QAbstractSocket::NetworkError:
        return "the network failed: " + app::Utf8ToCp1252(systemText.toStdString());
    default:
        return app::Utf8ToCp1252(systemText.toStdString());
    }
}

} // namespace

NetworkPort::NetworkPort()
{
    m_connectTimer.setSingleShot(true);
    m_connectTimer.setInterval(kConnectTimeout);
    m_confirmationTimer.setSingleShot(true);
    m_confirmationTimer.setInterval(kConfirmationWait);
    QObject::connect(&m_connectTimer, &QTimer::timeout, &m_socket, [this] {
        if (m_state == State::Connecting)
            fail(reasonFor(QAbstractSocket::SocketTimeoutError, {}));
    });
    QObject::connect(&m_confirmationTimer, &QTimer::timeout, &m_socket,
                     [this] { onConfirmationWaitOver(); });
    QObject::connect(&m_socket, &QTcpSocket::connected, &m_socket, [this] { onConnected(); });
    QObject::connect(&m_socket, &QTcpSocket::readyRead, &m_socket, [this] { onReadyRead(); });
    QObject::connect(&m_socket, &QTcpSocket::errorOccurred, &m_socket,
                     [this](QAbstractSocket::SocketError error) { onSocketError(error); });
    QObject::connect(&m_socket, &QTcpSocket::disconnected, &m_socket, [this] {
        if (m_state != State::Closed && m_state != State::Failed)
            fail(reasonFor(QAbstractSocket::RemoteHostClosedError, {}));
    });
}

NetworkPort::~NetworkPort()
{
    close();
}

OpenResult NetworkPort::open(const LineAddress& address, const LineSettings& settings)
{
    if (address.kind() == LineAddress::Kind::Network)
        return open(address.network(), settings);
    close();
    m_lastErrorText = "not a network address";
    return OpenResult::Failed;
}

OpenResult NetworkPort::open(const NetworkAddress& address, const LineSettings& settings)
{
    if (m_state == State::Failed && address == m_address) {
        m_state = State::Closed;
        return OpenResult::Failed; // the reason is still in failureReason()
    }
    close();
    m_address = address;
    if (m_address->protocol == NetworkProtocol::Rfc2217)
        m_codec.emplace(settings);
    else
        m_codec.reset();
    m_state = State::Connecting;
    m_connectTimer.start();
    // The host name is looked up and the connection made in the event loop.
    m_socket.connectToHost(QString::fromStdString(app::Cp1252ToUtf8(m_address->host)),
                           m_address->port);
    if (m_state == State::Connecting)
        return OpenResult::Opened;
    m_state = State::Closed; // refused before it began; failureReason() says why
    return OpenResult::Failed;
}

void NetworkPort::close()
{
    m_connectTimer.stop();
    m_confirmationTimer.stop();
    m_state = State::Closed;
    if (m_socket.state() != QAbstractSocket::UnconnectedState) {
        m_socket.flush(); // what the converter was sent last still goes, as far as it can without
                          // waiting
        m_socket.abort();
    }
    m_input.clear();
    m_held.clear();
}

bool NetworkPort::isOpen()
{
    return m_state == State::Connecting || m_state == State::Negotiating || m_state == State::Open;
}

int NetworkPort::bytesWaiting()
{
    return isOpen() ? static_cast<int>(std::min<std::size_t>(m_input.size(), INT_MAX)) : 0;
}

int NetworkPort::readByte()
{
    if (!isOpen() || m_input.empty())
        return -1;
    const std::uint8_t byte = m_input.front();
    m_input.pop_front();
    return byte;
}

bool NetworkPort::writeByte(std::uint8_t byte)
{
    if (!isOpen())
        return false;
    if (m_state != State::Open) {
        m_held.push_back(byte);
        return true;
    }
    if (!m_codec) {
        const char data = static_cast<char>(byte);
        return m_socket.write(&data, 1) == 1;
    }
    std::vector<std::uint8_t> encoded;
    m_codec->encode(byte, encoded);
    const auto size = static_cast<qint64>(encoded.size());
    return m_socket.write(reinterpret_cast<const char*>(encoded.data()), size) == size;
}

void NetworkPort::discardInput()
{
    m_input.clear();
}

void NetworkPort::onConnected()
{
    if (m_state != State::Connecting)
        return;
    m_connectTimer.stop();
    // A request is a few bytes and the converter's reply waits for it: nothing is gained by
    // holding them back until the server has acknowledged the last ones.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    note("Connected to " + addressText() + ".");
    if (!m_codec) {
        m_state = State::Open;
        releaseHeld();
        return;
    }
    m_state = State::Negotiating;
    const std::vector<std::uint8_t> opening = m_codec->start();
    m_socket.write(reinterpret_cast<const char*>(opening.data()),
                   static_cast<qint64>(opening.size()));
    m_confirmationTimer.start();
}

void NetworkPort::onReadyRead()
{
    const QByteArray bytes = m_socket.readAll();
    if (m_state != State::Negotiating && m_state != State::Open)
        return;
    const auto* first = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    if (!m_codec) {
        m_input.insert(m_input.end(), first, first + bytes.size());
        return;
    }
    std::vector<std::uint8_t> data;
    std::vector<std::uint8_t> reply;
    m_codec->receive({first, static_cast<std::size_t>(bytes.size())}, data, reply);
    m_input.insert(m_input.end(), data.begin(), data.end());
    if (!reply.empty())
        m_socket.write(reinterpret_cast<const char*>(reply.data()),
                       static_cast<qint64>(reply.size()));
    if (m_state == State::Negotiating && m_codec->lineConfirmed()) {
        m_state = State::Open;
        releaseHeld();
    }
    if (m_codec->allConfirmed())
        m_confirmationTimer.stop();
}

void NetworkPort::onConfirmationWaitOver()
{
    if (!m_codec || (m_state != State::Negotiating && m_state != State::Open))
        return;
    const std::vector<std::string> notes = m_codec->unconfirmed();
    if (!notes.empty()) {
        std::string text = addressText() + ": ";
        for (std::size_t n = 0; n < notes.size(); ++n)
            text += (n == 0 ? "" : ", ") + notes[n];
        note(text + "; going on.");
    }
    if (m_state == State::Negotiating) {
        m_state = State::Open;
        releaseHeld();
    }
}

void NetworkPort::releaseHeld()
{
    std::vector<std::uint8_t> held;
    held.swap(m_held);
    for (std::uint8_t byte : held)
        writeByte(byte);
}

void NetworkPort::onSocketError(QAbstractSocket::SocketError error)
{
    if (m_state == State::Closed || m_state == State::Failed)
        return;
    fail(reasonFor(error, m_socket.errorString()));
}

void NetworkPort::fail(const std::string& reason)
{
    m_connectTimer.stop();
    m_confirmationTimer.stop();
    m_state = State::Failed;
    m_lastErrorText = reason;
    m_input.clear();
    m_held.clear();
    // Aborting inside the socket's own signal is allowed; it only drops what is unsent.
    m_socket.abort();
}

void NetworkPort::note(const std::string& text) const
{
    if (m_note)
        m_note(text);
}

std::string NetworkPort::addressText() const
{
    return m_address ? NetworkAddressText(*m_address) : std::string();
}

} // namespace pravenor::link
