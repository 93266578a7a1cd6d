#include "link_fixture.h"

#include <atomic>
#include <unistd.h>

namespace pravenor::test {

namespace {

std::filesystem::path uniqueFolder()
{
    static std::atomic<int> counter{0};
    auto folder = std::filesystem::temp_directory_path() /
                  ("pravenor-link-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(folder);
    return folder;
}

} // namespace

LinkWorld::LinkWorld(link::SerialPort& serial)
    : folder(uniqueFolder()), log(config, clock, folder), sync(stores, controls),
      port(serial, log, view), engine(port, sync, view, log, config, debugLevel)
{
    config.LogLevel = 2;
    port.setDeviceOverride(link::LineAddress::Device("/dev/test-converter"));
    settings::FillChoiceLists(controls);
    stores.ForgetWorkValues();
    stores.ForgetUnitValues();
    log.setLineObserver([this](const std::string& line) { m_allLines.push_back(line); });
}

LinkWorld::~LinkWorld()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void LinkWorld::start()
{
    if (port.OpenComPort(config.ComPortIndex) == 0)
        engine.ProcessTransfer(link::TransferEngine::kStartSignal);
}

std::vector<std::string> LinkWorld::logMessages() const
{
    std::vector<std::string> messages;
    for (const std::string& line : m_allLines)
        messages.push_back(line.substr(9));
    return messages;
}

bool LinkWorld::logged(const std::string& message) const
{
    for (const std::string& line : m_allLines) {
        if (line.substr(9) == message)
            return true;
    }
    return false;
}

} // namespace pravenor::test
