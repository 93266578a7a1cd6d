#include "settings/write_plan.h"

namespace pravenor::settings {

namespace {

std::size_t at(int item)
{
    return static_cast<std::size_t>(item);
}

} // namespace

bool SameSetting(int item, const SettingValue& a, const SettingValue& b)
{
    if (IsChoiceItem(item))
        return a.asWhole() == b.asWhole();
    return a.asText() == b.asText();
}

WritePlan PlanWrite(std::span<const int> writes, const KnownItems& known, bool keepUnit)
{
    WritePlan plan;
    for (const int item : writes) {
        if (item < 0 || item >= kItemCount || known.test(at(item)))
            continue;
        // Only an exchanged item can be read; what another one holds stays unknown.
        (keepUnit && ItemIsImplemented(item) ? plan.readFirst : plan.unknown).push_back(item);
    }
    return plan;
}

RestorePlan PlanRestore(const ValueStores::Store& snapshot, const KnownItems& inSnapshot,
                        const ValueStores::Store& unitValues, const KnownItems& known)
{
    RestorePlan plan;
    for (int item = 0; item < kItemCount; ++item) {
        if (!ItemIsImplemented(item) || !inSnapshot.test(at(item)))
            continue;
        if (!known.test(at(item)))
            plan.readFirst.push_back(item);
        else if (!SameSetting(item, snapshot[at(item)], unitValues[at(item)]))
            plan.writes.push_back(item);
    }
    return plan;
}

} // namespace pravenor::settings
