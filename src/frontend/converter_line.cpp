#include "frontend/converter_line.h"

#include "link/qt/qt_serial_port.h"
#include "sim/converter_model.h"
#include "sim/demo_converter.h"
#include "sim/simulated_line.h"

#include <utility>

namespace pravenor::frontend {

LineChoice ChooseLine(bool demo, const std::string& device)
{
    if (demo)
        return {LineKind::DemoConverter, ConverterLine::kDemoDevice};
    return {LineKind::SerialDevice, device};
}

ConverterLine::ConverterLine(LineChoice choice) : m_choice(std::move(choice))
{
    switch (m_choice.kind) {
    case LineKind::SerialDevice:
        m_serial = std::make_unique<link::QtSerialPort>();
        break;
    case LineKind::DemoConverter: {
        m_model = std::make_unique<sim::ConverterModel>();
        sim::FillDemoConverter(*m_model);
        auto line = std::make_unique<sim::SimulatedLine>(*m_model);
        m_simulated = line.get();
        m_serial = std::move(line);
        break;
    }
    }
}

ConverterLine::~ConverterLine() = default;

void ConverterLine::advance(std::chrono::milliseconds elapsed)
{
    if (m_simulated)
        m_simulated->advance(elapsed);
}

} // namespace pravenor::frontend
