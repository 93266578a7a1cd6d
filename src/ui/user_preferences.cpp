#include "ui/user_preferences.h"

#include <QSettings>
#include <QStandardPaths>
#include <utility>

namespace pravenor::ui {

namespace {

const QString kFastLinkKey = QStringLiteral("link/fast");
const QString kNetworkAddressKey = QStringLiteral("link/networkAddress");
const QString kTlsAuthorityKey = QStringLiteral("link/tlsAuthority");
const QString kTlsCertificateKey = QStringLiteral("link/tlsCertificate");
const QString kTlsKeyKey = QStringLiteral("link/tlsKey");
const QString kTrustedKey = QStringLiteral("trustedCertificates");
const QString kKeepUnitKey = QStringLiteral("history/keepUnit");
const QString kReadBackKey = QStringLiteral("history/readBack");

void store(const QString& file, const QString& key, bool wanted)
{
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(key, wanted);
    settings.sync();
}

const QString kReportSiteKey = QStringLiteral("report/site");
const QString kReportEngineerKey = QStringLiteral("report/engineer");

} // namespace

UserPreferences::UserPreferences()
    : UserPreferences(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                      QStringLiteral("/Quilmar/Pravenor.conf"))
{
}

UserPreferences::UserPreferences(QString file) : m_file(std::move(file)) {}

bool UserPreferences::fastLink() const
{
    return QSettings(m_file, QSettings::IniFormat).value(kFastLinkKey, false).toBool();
}

void UserPreferences::setFastLink(bool wanted)
{
    QSettings settings(m_file, QSettings::IniFormat);
    settings.setValue(kFastLinkKey, wanted);
    settings.sync();
}

bool UserPreferences::keepUnit() const
{
    return QSettings(m_file, QSettings::IniFormat).value(kKeepUnitKey, true).toBool();
}

void UserPreferences::setKeepUnit(bool wanted)
{
    store(m_file, kKeepUnitKey, wanted);
}

bool UserPreferences::readBack() const
{
    return QSettings(m_file, QSettings::IniFormat).value(kReadBackKey, false).toBool();
}

void UserPreferences::setReadBack(bool wanted)
{
    store(m_file, kReadBackKey, wanted);
}

QString UserPreferences::networkAddress() const
{
    return QSettings(m_file, QSettings::IniFormat).value(kNetworkAddressKey).toString();
}

void UserPreferences::setNetworkAddress(const QString& address)
{
    QSettings settings(m_file, QSettings::IniFormat);
    if (address.isEmpty())
        settings.remove(kNetworkAddressKey);
    else
        settings.setValue(kNetworkAddressKey, address);
    settings.sync();
}

QString UserPreferences::tlsAuthority() const
{
    return QSettings(m_file, QSettings::IniFormat).value(kTlsAuthorityKey).toString();
}

QString UserPreferences::tlsCertificate() const
{
    return QSettings(m_file, QSettings::IniFormat).value(kTlsCertificateKey).toString();
}

QString UserPreferences::tlsKey() const
{
    return QSettings(m_file, QSettings::IniFormat).value(kTlsKeyKey).toString();
}

void UserPreferences::setTls(const QString& authority, const QString& certificate,
                             const QString& key)
{
    QSettings settings(m_file, QSettings::IniFormat);
    for (const auto& [name, value] :
         {std::pair{kTlsAuthorityKey, authority}, std::pair{kTlsCertificateKey, certificate},
          std::pair{kTlsKeyKey, key}}) {
        if (value.isEmpty())
            settings.remove(name);
        else
            settings.setValue(name, value);
    }
    settings.sync();
}

// An array, not keys: an address holds the slashes that QSettings takes for groups.
std::map<std::string, std::string> UserPreferences::trustedCertificates() const
{
    QSettings settings(m_file, QSettings::IniFormat);
    std::map<std::string, std::string> trusted;
    const int count = settings.beginReadArray(kTrustedKey);
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        trusted[settings.value(QStringLiteral("address")).toString().toStdString()] =
            settings.value(QStringLiteral("fingerprint")).toString().toStdString();
    }
    settings.endArray();
    return trusted;
}

void UserPreferences::trustCertificate(const std::string& address, const std::string& fingerprint)
{
    std::map<std::string, std::string> trusted = trustedCertificates();
    trusted[address] = fingerprint;
    QSettings settings(m_file, QSettings::IniFormat);
    settings.beginWriteArray(kTrustedKey, static_cast<int>(trusted.size()));
    int i = 0;
    for (const auto& [where, print] : trusted) {
        settings.setArrayIndex(i++);
        settings.setValue(QStringLiteral("address"), QString::fromStdString(where));
        settings.setValue(QStringLiteral("fingerprint"), QString::fromStdString(print));
    }
    settings.endArray();
    settings.sync();
}

QString UserPreferences::reportSite() const
{
    return QSettings(m_file, QSettings::IniFormat).value(kReportSiteKey).toString();
}

QString UserPreferences::reportEngineer() const
{
    return QSettings(m_file, QSettings::IniFormat).value(kReportEngineerKey).toString();
}

void UserPreferences::setReportHeading(const QString& site, const QString& engineer)
{
    QSettings settings(m_file, QSettings::IniFormat);
    settings.setValue(kReportSiteKey, site);
    settings.setValue(kReportEngineerKey, engineer);
    settings.sync();
}

} // namespace pravenor::ui
