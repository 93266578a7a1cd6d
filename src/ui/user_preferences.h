#pragma once

#include <QString>
#include <map>
#include <string>

namespace pravenor::ui {

// What this user chose for the link: the fast link, and a serial device server's address in
// place of the port number. Kept in the user's own configuration, not in Pravenor.set: that
// file belongs to the program's folder and keeps its four lines.
class UserPreferences
{
public:
    // The user's configuration folder, as the desktop names it.
    UserPreferences();
    explicit UserPreferences(QString file);

    bool fastLink() const;
    void setFastLink(bool wanted);
    // "Keep the unit's settings before every write", on until the user turns it off, and
    // "Read back what was written", off until turned on: read back, a write-all would no
    // longer send the frames it always has.
    bool keepUnit() const;
    void setKeepUnit(bool wanted);
    bool readBack() const;
    void setReadBack(bool wanted);
    // "tcp://HOST:PORT" or "rfc2217://HOST:PORT"; empty: the port number.
    QString networkAddress() const;
    void setNetworkAddress(const QString& address);
    // For TLS addresses: the certificate authority file (empty: the system's), and the
    // client certificate and key for servers that ask for one. Paths as typed.
    QString tlsAuthority() const;
    QString tlsCertificate() const;
    QString tlsKey() const;
    void setTls(const QString& authority, const QString& certificate, const QString& key);
    // Certificates trusted for the address they were met at ("tcp+tls://..." -> "SHA256:..."),
    // as SSH keeps known hosts.
    std::map<std::string, std::string> trustedCertificates() const;
    void trustCertificate(const std::string& address, const std::string& fingerprint);
    // The site and engineer the commissioning report names, as last given.
    QString reportSite() const;
    QString reportEngineer() const;
    void setReportHeading(const QString& site, const QString& engineer);
    const QString& file() const { return m_file; }

private:
    QString m_file;
};

} // namespace pravenor::ui
