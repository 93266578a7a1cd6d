#include "link/net/network_port.h"

#include "app/cp1252.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QString>
#include <algorithm>
#include <array>
#include <climits>
#include <utility>

namespace pravenor::link {

namespace {

std::string cp1252(const QString& text)
{
    return app::Utf8ToCp1252(text.toStdString());
}

// The engineer's words for why a connection failed; the system's own for the rest.
std::string reasonFor(QAbstractSocket::SocketError error, const QString& systemText)
{
    constexpr std::array<std::pair<QAbstractSocket::SocketError, const char*>, 4> kPlainly = {{
        {QAbstractSocket::HostNotFoundError, "the name does not resolve"},
        {QAbstractSocket::ConnectionRefusedError, "connection refused, nothing listens there"},
        {QAbstractSocket::RemoteHostClosedError, "the server closed the connection"},
        {QAbstractSocket::SocketTimeoutError, "timed out"},
    }};
    for (const auto& [known, words] : kPlainly) {
        if (known == error)
            return words;
    }
    if (error == QAbstractSocket::NetworkError)
        return "the network failed: " + cp1252(systemText);
    if (error == QAbstractSocket::SslHandshakeFailedError) {
        if (systemText.contains(QStringLiteral("certificate required"), Qt::CaseInsensitive))
            return "the server wants a client certificate: give one with --cert and --key";
        return "the TLS handshake failed (a plain port? then tcp:// or rfc2217://): " +
               cp1252(systemText);
    }
    return cp1252(systemText);
}

std::string fingerprint(const QSslCertificate& certificate)
{
    return "SHA256:" +
           certificate.digest(QCryptographicHash::Sha256).toHex().toUpper().toStdString();
}

std::string namesIn(const QSslCertificate& certificate)
{
    QStringList names = certificate.subjectAlternativeNames().values(QSsl::DnsEntry);
    names += certificate.subjectAlternativeNames().values(QSsl::IpAddressEntry);
    if (names.isEmpty())
        names = certificate.subjectInfo(QSslCertificate::CommonName);
    return cp1252(names.join(QStringLiteral(", ")));
}

// No authority the program knows vouches for the certificate.
bool unvouched(const QSslError& error)
{
    switch (error.error()) {
    case QSslError::SelfSignedCertificate:
    case QSslError::SelfSignedCertificateInChain:
    case QSslError::UnableToGetLocalIssuerCertificate:
    case QSslError::UnableToGetIssuerCertificate:
    case QSslError::UnableToVerifyFirstCertificate:
    case QSslError::CertificateUntrusted:
        return true;
    default:
        return false;
    }
}

// The server's certificate refused, in words that say what to do about it.
std::string refusal(const QSslError& error, const QSslCertificate& certificate,
                    const std::string& host)
{
    if (unvouched(error))
        return "the server's certificate is from an unknown authority (its fingerprint is " +
               fingerprint(certificate) + "; give --ca with the authority, or --pin " +
               fingerprint(certificate) + " to trust exactly this certificate)";
    switch (error.error()) {
    case QSslError::HostNameMismatch:
        return "the server's certificate is for " + namesIn(certificate) + ", not for " + host;
    case QSslError::CertificateExpired:
        return "the server's certificate expired on " +
               cp1252(certificate.expiryDate().toUTC().toString(Qt::ISODate));
    case QSslError::CertificateNotYetValid:
        return "the server's certificate is not valid before " +
               cp1252(certificate.effectiveDate().toUTC().toString(Qt::ISODate));
    default:
        return "the server's certificate is refused: " + cp1252(error.errorString());
    }
}

// Of several complaints, the one the engineer can act on first.
int rank(QSslError::SslError error)
{
    switch (error) {
    case QSslError::CertificateExpired:
    case QSslError::CertificateNotYetValid:
        return 0;
    case QSslError::HostNameMismatch:
        return 2;
    default:
        return 1;
    }
}

std::optional<QByteArray> readFile(const std::string& path)
{
    QFile file(QString::fromStdString(app::Cp1252ToUtf8(path)));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

// The PEM certificates in a file; none where it cannot be read.
QList<QSslCertificate> readCertificates(const std::string& path)
{
    const std::optional<QByteArray> pem = readFile(path);
    return pem ? QSslCertificate::fromData(*pem, QSsl::Pem) : QList<QSslCertificate>();
}

} // namespace

NetworkPort::NetworkPort()
{
    m_connectTimer.setSingleShot(true);
    m_connectTimer.setInterval(kConnectTimeout);
    m_confirmationTimer.setSingleShot(true);
    m_confirmationTimer.setInterval(kConfirmationWait);
    QObject::connect(&m_connectTimer, &QTimer::timeout, &m_socket, [this] {
        if (m_state != State::Connecting)
            return;
        if (m_socket.state() == QAbstractSocket::ConnectedState)
            fail("no TLS handshake within " + std::to_string(kConnectTimeout.count() / 1000) +
                 " s (a plain port? then tcp:// or rfc2217://)");
        else
            fail(reasonFor(QAbstractSocket::SocketTimeoutError, {}));
    });
    QObject::connect(&m_confirmationTimer, &QTimer::timeout, &m_socket,
                     [this] { onConfirmationWaitOver(); });
    // What Qt holds for us between two readings is bounded too, and is a few TLS records.
    m_socket.setReadBufferSize(static_cast<qint64>(kFloodLimit));
    QObject::connect(&m_socket, &QSslSocket::connected, &m_socket, [this] { onConnected(); });
    QObject::connect(&m_socket, &QSslSocket::encrypted, &m_socket, [this] { onEncrypted(); });
    QObject::connect(&m_socket, &QSslSocket::sslErrors, &m_socket,
                     [this](const QList<QSslError>& errors) { onSslErrors(errors); });
    QObject::connect(&m_socket, &QSslSocket::readyRead, &m_socket, [this] { onReadyRead(); });
    QObject::connect(&m_socket, &QSslSocket::errorOccurred, &m_socket,
                     [this](QAbstractSocket::SocketError error) { onSocketError(error); });
    QObject::connect(&m_socket, &QSslSocket::disconnected, &m_socket, [this] { onClosed(); });
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
    m_dropped = 0;
    m_heardFrom = false;
    m_encryptedAt.invalidate();
    const QString host = QString::fromStdString(app::Cp1252ToUtf8(m_address->host));
    m_unknown.reset();
    m_pin = PinDigits(m_trust.pin);
    if (const auto known = m_trust.trusted.find(addressText());
        m_pin.empty() && known != m_trust.trusted.end())
        m_pin = PinDigits(known->second);
    if (m_address->tls) {
        std::string why;
        if (!prepareTls(why)) {
            m_lastErrorText = why;
            return OpenResult::Failed;
        }
    }
    m_state = State::Connecting;
    m_connectTimer.start();
    // The host name is looked up, the connection made and TLS agreed in the event loop.
    if (m_address->tls)
        m_socket.connectToHostEncrypted(host, m_address->port);
    else
        m_socket.connectToHost(host, m_address->port);
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
    if (bytesWaiting() == 0)
        return -1;
    const int byte = m_input.front();
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
    if (m_socket.bytesToWrite() > kWriteLimit) {
        fail("the server does not read what it is sent; the line is dead");
        return false;
    }
    std::vector<std::uint8_t> encoded;
    if (m_codec)
        m_codec->encode(byte, encoded);
    else
        encoded.push_back(byte);
    const auto size = static_cast<qint64>(encoded.size());
    return m_socket.write(reinterpret_cast<const char*>(encoded.data()), size) == size;
}

// What the server sent and the socket holds counts as waiting too: it is read and dropped,
// through the codec, so that nothing of an earlier exchange is left for the next.
void NetworkPort::discardInput()
{
    if (m_socket.bytesAvailable() > 0)
        onReadyRead();
    m_input.clear();
}

bool NetworkPort::prepareTls(std::string& why)
{
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (!m_trust.authorityFile.empty()) {
        const QList<QSslCertificate> authorities = readCertificates(m_trust.authorityFile);
        if (authorities.isEmpty()) {
            why = "cannot read a certificate authority from " + m_trust.authorityFile;
            return false;
        }
        config.setCaCertificates(authorities);
    }
    if (!m_trust.certificateFile.empty() || !m_trust.keyFile.empty()) {
        const QList<QSslCertificate> certificates = readCertificates(m_trust.certificateFile);
        if (certificates.isEmpty()) {
            why = "cannot read the client certificate " + m_trust.certificateFile;
            return false;
        }
        const std::optional<QByteArray> keyPem = readFile(m_trust.keyFile);
        if (!keyPem) {
            why = "cannot read the client key " + m_trust.keyFile;
            return false;
        }
        QSslKey key;
        for (QSsl::KeyAlgorithm algorithm : {QSsl::Rsa, QSsl::Ec, QSsl::Dsa}) {
            key = QSslKey(*keyPem, algorithm, QSsl::Pem);
            if (!key.isNull())
                break;
        }
        if (key.isNull()) {
            why = "the client key " + m_trust.keyFile +
                  " is no private key in PEM form without a passphrase";
            return false;
        }
        config.setLocalCertificate(certificates.front());
        config.setPrivateKey(key);
    }
    m_socket.setSslConfiguration(config);
    return true;
}

bool NetworkPort::pinMatches() const
{
    return fingerprint(m_socket.peerCertificate()) == "SHA256:" + m_pin;
}

void NetworkPort::onSslErrors(const QList<QSslError>& errors)
{
    if (m_state != State::Connecting || errors.isEmpty())
        return;
    const QSslCertificate certificate = m_socket.peerCertificate();
    if (!m_pin.empty()) {
        if (pinMatches()) {
            m_socket.ignoreSslErrors(errors);
            return;
        }
        fail("the server's certificate has changed: pinned SHA256:" + m_pin + ", now " +
             fingerprint(certificate) + "; refused");
        return;
    }
    const auto first =
        std::min_element(errors.begin(), errors.end(), [](const QSslError& a, const QSslError& b) {
            return rank(a.error()) < rank(b.error());
        });
    if (std::any_of(errors.begin(), errors.end(), unvouched))
        m_unknown = UnknownCertificate{addressText(), fingerprint(certificate),
                                       cp1252(certificate.subjectDisplayName())};
    fail(refusal(*first, certificate, m_address ? m_address->host : std::string()));
}

void NetworkPort::onEncrypted()
{
    if (m_state != State::Connecting)
        return;
    // A certificate an authority vouches for is still not the one pinned.
    if (!m_pin.empty() && !pinMatches()) {
        fail("the server's certificate has changed: pinned SHA256:" + m_pin + ", now " +
             fingerprint(m_socket.peerCertificate()) + "; refused");
        return;
    }
    m_encryptedAt.start();
    startLine();
}

void NetworkPort::onConnected()
{
    if (m_state != State::Connecting || (m_address && m_address->tls))
        return; // over TLS the line starts once the handshake is done
    startLine();
}

void NetworkPort::startLine()
{
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
    m_heardFrom = m_heardFrom || !bytes.isEmpty();
    const auto* first = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    std::vector<std::uint8_t> data;
    std::vector<std::uint8_t> reply;
    if (m_codec)
        m_codec->receive({first, static_cast<std::size_t>(bytes.size())}, data, reply);
    else
        data.assign(first, first + bytes.size());
    const std::size_t room = kInputLimit - std::min(kInputLimit, m_input.size());
    const std::size_t taken = std::min(room, data.size());
    m_input.insert(m_input.end(), data.begin(), data.begin() + static_cast<long>(taken));
    if (taken < data.size()) {
        if (m_dropped == 0)
            note(addressText() + ": more than a converter sends unasked; the rest is dropped.");
        m_dropped += data.size() - taken;
        if (m_dropped > kFloodLimit) {
            fail("the server floods the line: " + std::to_string(m_dropped) +
                 " bytes dropped that no converter sends");
            return;
        }
    }
    if (m_codec && !m_codec->failure().empty()) {
        fail(m_codec->failure());
        return;
    }
    if (!reply.empty())
        m_socket.write(reinterpret_cast<const char*>(reply.data()),
                       static_cast<qint64>(reply.size()));
    if (m_socket.bytesToWrite() > kWriteLimit) {
        fail("the server does not read what it is sent; the line is dead");
        return;
    }
    if (!m_codec)
        return;
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
    if (error == QAbstractSocket::RemoteHostClosedError) {
        onClosed();
        return;
    }
    fail(reasonFor(error, m_socket.errorString()));
}

void NetworkPort::onClosed()
{
    if (m_state != State::Closed && m_state != State::Failed)
        fail(closedReason());
}

// A server that closes at once has said no: to the plain connection at a TLS port, or, just
// after the handshake, to a client without the certificate it wants.
std::string NetworkPort::closedReason() const
{
    const std::string closed = reasonFor(QAbstractSocket::RemoteHostClosedError, {});
    if (m_heardFrom || !m_address)
        return closed;
    if (!m_address->tls)
        return closed + " without a word (a TLS port? then tcp+tls:// or rfc2217+tls://)";
    if (!m_encryptedAt.isValid())
        return closed + " during the TLS handshake";
    if (m_encryptedAt.elapsed() > 2000)
        return closed;
    return closed + (m_trust.certificateFile.empty()
                         ? " right after the TLS handshake: most likely it wants a client "
                           "certificate (--cert and --key)"
                         : " right after the TLS handshake: it did not accept the client "
                           "certificate");
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
