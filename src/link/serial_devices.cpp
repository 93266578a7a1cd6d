#include "link/serial_devices.h"

#include "link/com_port.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <system_error>

namespace pravenor::link {

namespace fs = std::filesystem;

namespace {

constexpr int kLastPortNumber = 30;

int portNumberOf(const std::string& device)
{
    for (int number = 1; number <= kLastPortNumber; ++number)
        if (DeviceForPort(number) == device)
            return number;
    return 0;
}

// The /dev name of a file under devFolder, so that a folder standing in for /dev still maps
// onto the port numbers.
std::string devName(const fs::path& file, const fs::path& devFolder)
{
    const fs::path relative =
        file.lexically_normal().lexically_relative(devFolder.lexically_normal());
    if (relative.empty() || *relative.begin() == "..")
        return file.lexically_normal().string();
    return (fs::path("/dev") / relative).string();
}

// "ttyUSB2" before "ttyUSB10".
bool numberOrder(const std::string& a, const std::string& b)
{
    const auto split = [](std::string_view text) {
        std::size_t digits = text.size();
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(text[digits - 1])) != 0)
            --digits;
        return std::pair{text.substr(0, digits), text.substr(digits)};
    };
    const auto [stemA, numberA] = split(a);
    const auto [stemB, numberB] = split(b);
    if (stemA != stemB)
        return stemA < stemB;
    if (numberA.size() != numberB.size())
        return numberA.size() < numberB.size();
    return numberA < numberB;
}

std::vector<SerialDevice> byIdDevices(const fs::path& devFolder)
{
    std::vector<SerialDevice> devices;
    std::error_code error;
    const fs::path byId = devFolder / "serial" / "by-id";
    for (fs::directory_iterator it(byId, error), end; !error && it != end; it.increment(error)) {
        std::error_code linkError;
        fs::path target = fs::read_symlink(it->path(), linkError);
        if (linkError)
            continue;
        if (target.is_relative())
            target = byId / target;
        if (!fs::exists(target, linkError))
            continue; // left behind by an adapter pulled out a moment ago
        SerialDevice found;
        found.path = it->path().string();
        found.device = devName(target, devFolder);
        found.portNumber = portNumberOf(found.device);
        devices.push_back(found);
    }
    return devices;
}

std::vector<SerialDevice> terminalDevices(const fs::path& devFolder)
{
    std::vector<SerialDevice> devices;
    std::error_code error;
    for (fs::directory_iterator it(devFolder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        const bool numbered =
            name.size() > 6 && std::isdigit(static_cast<unsigned char>(name[6])) != 0;
        if (!numbered || (!name.starts_with("ttyUSB") && !name.starts_with("ttyACM")))
            continue;
        SerialDevice found;
        found.path = it->path().string();
        found.device = devName(it->path(), devFolder);
        found.portNumber = portNumberOf(found.device);
        devices.push_back(found);
    }
    return devices;
}

} // namespace

std::vector<SerialDevice> ListSerialDevices(const fs::path& devFolder)
{
    std::vector<SerialDevice> devices = byIdDevices(devFolder);
    if (devices.empty())
        devices = terminalDevices(devFolder);
    std::sort(devices.begin(), devices.end(), [](const SerialDevice& a, const SerialDevice& b) {
        return numberOrder(a.path, b.path);
    });
    return devices;
}

} // namespace pravenor::link
