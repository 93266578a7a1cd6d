#include "frontend/session.h"

#include "frontend/front_end_options.h"
#include "link/pace.h"

#include <utility>

namespace pravenor::frontend {

Session::Session(const FrontEndOptions& options, std::filesystem::path programFolder,
                 const app::Clock& clock, settings::SettingControls& controls,
                 link::TransferView& view)
    : m_line(ChooseLine(options.demo, options.line)),
      m_program(std::move(programFolder), clock, m_line.serial(), controls, view)
{
    m_program.port.setDeviceOverride(m_line.deviceOverride(), true); // named by --port
    m_line.setTlsTrust(options.tls);
    m_line.setNoteHandler([this](const std::string& note) { m_program.log.WriteLog(note); });
    if (options.fast)
        m_program.engine.setPace(link::kFastPace);
}

} // namespace pravenor::frontend
