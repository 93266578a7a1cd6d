#include "ui/user_preferences.h"

#include <QSettings>
#include <QStandardPaths>

namespace pravenor::ui {

namespace {

const QString kFastLinkKey = QStringLiteral("link/fast");
const QString kNetworkAddressKey = QStringLiteral("link/networkAddress");

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
