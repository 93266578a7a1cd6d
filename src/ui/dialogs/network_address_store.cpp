#include "ui/dialogs/network_address_store.h"

#include <QSettings>

namespace pravenor::ui {

namespace {

const QString kKey = QStringLiteral("NetworkAddress");

QSettings userSettings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quilmar"), QStringLiteral("Pravenor"));
}

} // namespace

QString StoredNetworkAddress()
{
    return userSettings().value(kKey).toString();
}

void StoreNetworkAddress(const QString& address)
{
    QSettings settings = userSettings();
    if (address.isEmpty())
        settings.remove(kKey);
    else
        settings.setValue(kKey, address);
}

} // namespace pravenor::ui
