#pragma once

#include "settings/catalogue.h"
#include "settings/setting_value.h"
#include "settings/value_stores.h"

#include <bitset>
#include <span>
#include <vector>

namespace pravenor::settings {

// The items whose value in the converter on this line is known: read from it, or written to
// it and acknowledged, since the line was opened. UnitValues alone cannot say it: it keeps
// what an earlier converter on the line held (its red marking must not change), and a write
// that timed out leaves it holding a value the converter may never have taken.
using KnownItems = std::bitset<kItemCount>;

// Whether two values are one setting for the item: choices as whole numbers (the converter's
// "3" and the list's 3 are one), texts byte for byte.
bool SameSetting(int item, const SettingValue& a, const SettingValue& b);

// What a write batch has to do before its first write frame, so that the converter's earlier
// values can be kept.
struct WritePlan
{
    std::vector<int> readFirst; // unknown items that are read before any write
    std::vector<int> unknown;   // unknown items left unread: their earlier value is lost
};

// The writes in item order; with keepUnit off nothing is read and the unknown are counted.
// An item the converter does not exchange cannot be read and is always counted.
WritePlan PlanWrite(std::span<const int> writes, const KnownItems& known, bool keepUnit);

// Putting the converter back to a snapshot: only the items where the snapshot differs from
// what the converter holds.
struct RestorePlan
{
    std::vector<int> readFirst; // in the snapshot, but what the converter holds is unknown
    std::vector<int> writes;    // known, and different from the snapshot
};

// Only exchanged items that the snapshot holds take part. Once the items read first are
// known, the same call gives the rest of the writes.
RestorePlan PlanRestore(const ValueStores::Store& snapshot, const KnownItems& inSnapshot,
                        const ValueStores::Store& unitValues, const KnownItems& known);

} // namespace pravenor::settings
