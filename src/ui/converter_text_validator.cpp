#include "ui/converter_text_validator.h"

#include "app/cp1252.h"

namespace pravenor::ui {

QValidator::State ConverterTextValidator::validate(QString& input, int& position) const
{
    (void)position;
    for (const char32_t c : input.toUcs4()) {
        if (c < 0x20 || app::CodePointToCp1252(c) < 0)
            return Invalid;
    }
    return Acceptable;
}

} // namespace pravenor::ui
