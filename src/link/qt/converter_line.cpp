#include "link/qt/converter_line.h"

#include "link/qt/qt_serial_port.h"
#include "sim/converter_model.h"
#include "sim/demo_converter.h"
#include "sim/simulated_line.h"

namespace pravenor::link {

ConverterLine::ConverterLine(bool demo)
{
    if (!demo) {
        m_serial = std::make_unique<QtSerialPort>();
        return;
    }
    m_model = std::make_unique<sim::ConverterModel>();
    sim::FillDemoConverter(*m_model);
    auto line = std::make_unique<sim::SimulatedLine>(*m_model);
    m_simulated = line.get();
    m_serial = std::move(line);
}

ConverterLine::~ConverterLine() = default;

void ConverterLine::advance(std::chrono::milliseconds elapsed)
{
    if (m_simulated)
        m_simulated->advance(elapsed);
}

} // namespace pravenor::link
