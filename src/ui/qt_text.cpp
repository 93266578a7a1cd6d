#include "ui/qt_text.h"

#include "app/cp1252.h"

#include <QList>

namespace pravenor::ui {

QString FromCp1252(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char byte : bytes)
        text.append(
            QChar(static_cast<char16_t>(app::Cp1252ToCodePoint(static_cast<unsigned char>(byte)))));
    return text;
}

std::string ToCp1252(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const uint codePoint : text.toUcs4()) {
        const int byte = app::CodePointToCp1252(codePoint);
        bytes.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    }
    return bytes;
}

} // namespace pravenor::ui
