#include "sim/demo_converter.h"

#include "sim/converter_model.h"

#include <string>

namespace pravenor::sim {

void FillDemoConverter(ConverterModel& model)
{
    model.setNumber(0, 1); // diagnose
    model.setNumber(5, 0);
    model.setNumber(9, 1);  // forward errors to the relay
    model.setNumber(10, 3); // 9600 baud to the paging system
    model.setNumber(11, 1);
    model.setNumber(12, 0);
    model.setNumber(13, 0);
    model.setNumber(14, 0);
    model.setNumber(17, 0);
    const char* places[] = {"Entrance door", "Server room", "Boiler", "Fire panel"};
    for (int k = 0; k < 8; ++k) {
        const bool used = k < 4;
        model.setNumber(20 + k, used ? 1 : 0);
        model.setNumber(28 + k, used ? 0 : 1);
        model.setNumber(36 + k, k % 2);
        model.setNumber(44 + k, used ? 6 * (k + 1) : 0); // every 60, 120, ... seconds
        model.setNumber(52 + k, used ? 5 : 0);
        model.setNumber(60 + k, 0);
        model.setNumber(68 + k, used ? 3 + k : 0);
        model.setNumber(76 + k, used ? 9 : 0);
        model.setNumber(84 + k, 0);
        if (!used)
            continue;
        const std::string place = places[k];
        model.setText(100 + k, place + " normal again");
        model.setText(108 + k, place + " ALARM");
        model.setText(116 + k, place + " contact failure");
        model.setText(124 + k, place + " contact restored");
        model.setText(132 + k, std::to_string(1001 + k));
        model.setText(140 + k, "1999");
    }
}

} // namespace pravenor::sim
