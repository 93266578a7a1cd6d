#pragma once

#include "settings/value_stores.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pravenor::program {

struct SettingMatch
{
    int item = 0;
    std::string name;  // the full name ("Input 5, Error, Text at failure:"); Windows-1252
    std::string value; // as the screen shows it
};

// The settings the pages show whose item number, full name or shown value holds every word
// of the query, letter case aside: "120", "5 failure", "9600". The item whose number is the
// query comes first, then those matched by their names alone, then the rest, each in item
// order; at most `limit` of them. An empty query matches nothing.
std::vector<SettingMatch> FindSettings(std::string_view query,
                                       const settings::ValueStores::Store& shown,
                                       std::size_t limit = 50);

} // namespace pravenor::program
