#pragma once

#include "cli/cli_options.h"

#include <filesystem>
#include <memory>
#include <ostream>
#include <vector>

namespace pravenor::cli {

class FleetUnit;

// fleet read, diff and write: every converter of a sites file on its own line, engine and
// log name, all on the one event loop. A unit that fails or cannot be reached ends on its own
// and the others go on; at the end one table on standard output, or one JSON object.
class FleetRun
{
public:
    // terminal: standard error is one, `width` columns wide; a line per unit shows how it goes.
    FleetRun(const CliOptions& options, std::filesystem::path programFolder, std::ostream& err,
             bool terminal, int width, std::ostream& out);
    ~FleetRun();
    FleetRun(const FleetRun&) = delete;
    FleetRun& operator=(const FleetRun&) = delete;

    int run();

private:
    bool prepare();
    void startWaiting();
    void unitEnded(FleetUnit& unit);
    void drawLive();
    void report();
    void sayWhatIsLeft();
    int status() const;

    CliOptions m_options;
    std::filesystem::path m_folder;
    std::ostream& m_err;
    bool m_live; // a line per unit, drawn again as it goes
    int m_width;
    std::ostream& m_out;
    std::vector<std::unique_ptr<FleetUnit>> m_units;
    std::size_t m_next = 0; // the first unit not started
    int m_running = 0;
    int m_drawnLines = 0;
};

} // namespace pravenor::cli
