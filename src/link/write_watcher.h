#pragma once

#include "settings/setting_value.h"

#include <span>
#include <vector>

namespace pravenor::link {

// How the write of one setting came back.
enum class WriteEnd
{
    Acknowledged,
    Refused, // never sent: the value cannot travel, or the unit has no such value
    Failed,  // sent, and not acknowledged; the engine may try again
};

// What keeps a write from losing anything, as the engine sees it. The engine tells it every
// setting read and written, asks it which items to read before the first write frame of a
// batch, and lets it keep the converter's values just before that frame.
class WriteWatcher
{
public:
    virtual ~WriteWatcher() = default;

    // Writes are pending and none has gone out since the engine was last without work: the
    // items (among them) to read first, so that what the converter held is known.
    virtual std::vector<int> readFirst(std::span<const int> writes) = 0;
    // Every item read first is in; the first write frame goes out next.
    virtual void beforeFirstWrite() = 0;
    virtual void settingRead(int item, const settings::SettingValue& value) = 0;
    virtual void settingWritten(int item, const settings::SettingValue& value, WriteEnd end) = 0;
    // Whether each setting written is read back at once.
    virtual bool readBack() const = 0;
    // No request is left (or they were dropped): the writes since readFirst are over.
    virtual void writesEnded() = 0;
};

} // namespace pravenor::link
