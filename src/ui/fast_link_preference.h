#pragma once

#include <QString>

namespace pravenor::ui {

// Whether this user wants the fast link. Kept in the user's own configuration, not in
// Pravenor.set: that file belongs to the program's folder and keeps its four lines.
class FastLinkPreference
{
public:
    // The user's configuration folder, as the desktop names it.
    FastLinkPreference();
    explicit FastLinkPreference(QString file);

    bool wanted() const;
    void setWanted(bool wanted);
    const QString& file() const { return m_file; }

private:
    QString m_file;
};

} // namespace pravenor::ui
