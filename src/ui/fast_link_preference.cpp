#include "ui/fast_link_preference.h"

#include <QSettings>
#include <QStandardPaths>

namespace pravenor::ui {

namespace {

const QString kKey = QStringLiteral("link/fast");

} // namespace

FastLinkPreference::FastLinkPreference()
    : FastLinkPreference(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/Quilmar/Pravenor.conf"))
{
}

FastLinkPreference::FastLinkPreference(QString file) : m_file(std::move(file)) {}

bool FastLinkPreference::wanted() const
{
    return QSettings(m_file, QSettings::IniFormat).value(kKey, false).toBool();
}

void FastLinkPreference::setWanted(bool wanted)
{
    QSettings settings(m_file, QSettings::IniFormat);
    settings.setValue(kKey, wanted);
    settings.sync();
}

} // namespace pravenor::ui
