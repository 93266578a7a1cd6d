#pragma once

#include "files/change_journal.h"
#include "settings/value_stores.h"

#include <string>
#include <vector>

namespace pravenor::program {

// How a value stands against what the converter was last seen to hold.
enum class UnitMark
{
    Same,    // the unit holds it
    Differs, // the unit holds another value
    NotRead, // nothing seen from the unit for this setting
};

struct ReportValue
{
    int item = 0;
    std::string legend; // the text beside its control ("Text at alarm:"); Windows-1252
    std::string text;   // as the screen shows it
    UnitMark mark = UnitMark::Same;
    std::string unitText; // what the unit holds, when it differs
};

// One contact input in use, its alarm and error frames row by row as the page shows them.
struct ReportInput
{
    int number = 0; // 1..8
    ReportValue use;
    ReportValue guarding;
    ReportValue contactType;
    std::vector<ReportValue> alarm;
    std::vector<ReportValue> error;
};

// What the report says about where it was made; texts in Windows-1252.
struct ReportHeading
{
    std::string site;     // empty: not given
    std::string engineer; // empty: not given
    std::string made;     // date and time, "2026-12-09 06:30"
    std::string version;  // the program's
    std::string line;     // the port or network address, or the demo converter
    std::string source;   // where the values come from: the screen, a file, the unit
};

// The commissioning report of one set of settings, ready for any form (HTML, PDF, print).
struct CommissioningReport
{
    ReportHeading heading;
    std::vector<ReportValue> general;
    std::vector<ReportValue> paging;
    std::vector<ReportInput> inputs; // in use, in input order
    std::vector<ReportInput> unused; // the others: their number and use only
    bool unitSeen = false;           // at least one value was seen from the unit
    int differing = 0;               // values marked Differs
    int notRead = 0;                 // values marked NotRead
    // What this session wrote to the unit, oldest first; the caller adds them.
    std::vector<files::JournalRow> changes;
};

// The report of the values `shown` (what the screen shows, a file holds or the unit gave),
// each marked against `unit`, the values the converter was last seen to hold (-1: never).
// Only the settings the pages show; hidden ones are left out as the screen leaves them out.
CommissioningReport BuildCommissioningReport(const ReportHeading& heading,
                                             const settings::ValueStores::Store& shown,
                                             const settings::ValueStores::Store& unit);

} // namespace pravenor::program
