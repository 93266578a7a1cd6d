#pragma once

#include <QValidator>

namespace pravenor::ui {

// For the boxes whose text goes to the converter: a character the converter's character set
// (Windows-1252) lacks would go out as "?", and a control character as frame structure, so
// neither is taken, typed or pasted. Texts put in by the program itself are not checked.
class ConverterTextValidator final : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString& input, int& position) const override;
};

} // namespace pravenor::ui
