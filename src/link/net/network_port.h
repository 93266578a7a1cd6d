#pragma once

#include "link/line_address.h"
#include "link/network_address.h"
#include "link/rfc2217_codec.h"
#include "link/serial_port.h"
#include "link/tls_trust.h"

#include <QElapsedTimer>
#include <QSslError>
#include <QSslSocket>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pravenor::link {

// The line to a converter behind a serial device server, over TCP or TLS: raw, or telnet with
// the COM-PORT-OPTION. Nothing waits: connecting runs in the event loop like every read and
// write, and the port counts as open while it connects, so bytes written meanwhile go out
// once the connection stands (and, with the COM-PORT-OPTION, once the server has set the
// line or has had its chance to). Over TLS nothing goes before the handshake and the checks
// of the server's certificate have passed. A connection that fails or drops closes the port; the
// next open() then reports that failure instead of trying again at once, so a link that
// reopens a lost port straight away still tries no faster than it does after a failed open.
class NetworkPort final : public SerialPort
{
public:
    static constexpr std::chrono::milliseconds kConnectTimeout{5000};
    // How long the server may take to confirm the line settings before bytes go anyway.
    static constexpr std::chrono::milliseconds kConfirmationWait{500};
    // The converter never sends more than a reply's worth unasked; beyond this the rest is
    // dropped, and a server that keeps sending past kFloodLimit is no converter's line.
    static constexpr std::size_t kInputLimit = 4096;
    static constexpr std::size_t kFloodLimit = 64 * 1024;
    // What may wait unsent for a server that does not read before the line counts as dead.
    static constexpr qint64 kWriteLimit = 64 * 1024;

    NetworkPort();
    ~NetworkPort() override;
    NetworkPort(const NetworkPort&) = delete;
    NetworkPort& operator=(const NetworkPort&) = delete;

    // Opens a network address; any other kind of line fails.
    OpenResult open(const LineAddress& address, const LineSettings& settings) override;
    OpenResult open(const NetworkAddress& address, const LineSettings& settings);
    void close() override;
    bool isOpen() override;
    int bytesWaiting() override;
    int readByte() override;
    bool writeByte(std::uint8_t byte) override;
    void discardInput() override;
    // Bytes go out now: connected, and over TLS with the server's certificate accepted.
    bool ready() override { return m_state == State::Open; }
    // For the addresses that use TLS; a changed trust counts from the next open().
    void setTlsTrust(const TlsTrust& trust) { m_trust = trust; }
    // The certificate the last TLS connection was refused for because no authority vouched
    // for it; none when that was not the reason.
    const std::optional<UnknownCertificate>& unknownCertificate() const { return m_unknown; }
    // Why the last connection failed or ended; empty while none has. Kept across later
    // attempts, so that a wait that ends while connecting can still say it.
    std::string failureReason() const override { return m_lastErrorText; }

    // The connection stands (open() may have only started it).
    bool connected() const { return m_state == State::Negotiating || m_state == State::Open; }
    // Lines for the message log: the connection made, settings the server left unconfirmed.
    void setNoteHandler(std::function<void(const std::string&)> handler)
    {
        m_note = std::move(handler);
    }

private:
    enum class State
    {
        Closed,
        Failed, // a connection failed or dropped; the next open() says so
        Connecting,
        Negotiating,
        Open,
    };

    void onConnected();
    void onEncrypted();
    void onSslErrors(const QList<QSslError>& errors);
    void startLine();
    void onReadyRead();
    void onClosed();
    bool prepareTls(std::string& why);
    bool pinMatches() const;
    std::string closedReason() const;
    void onSocketError(QAbstractSocket::SocketError error);
    void onConfirmationWaitOver();
    void releaseHeld();
    void fail(const std::string& reason);
    void note(const std::string& text) const;
    std::string addressText() const;

    State m_state = State::Closed;
    std::optional<NetworkAddress> m_address;
    std::optional<Rfc2217Codec> m_codec;
    std::deque<std::uint8_t> m_input; // the converter's bytes, not yet read
    std::vector<std::uint8_t> m_held; // written before the line was ready
    std::string m_lastErrorText;
    TlsTrust m_trust;
    std::string m_pin; // the digits pinned for this connection; empty: none
    std::optional<UnknownCertificate> m_unknown;
    std::size_t m_dropped = 0;   // the converter's bytes dropped on this connection
    bool m_heardFrom = false;    // the server has sent something on this connection
    QElapsedTimer m_encryptedAt; // the TLS handshake ended
    std::function<void(const std::string&)> m_note;
    QTimer m_connectTimer;
    QTimer m_confirmationTimer;
    // Last, so that it goes first: closing it may still signal us.
    QSslSocket m_socket;
};

} // namespace pravenor::link
