// The program configuration reader on arbitrary bytes. Whatever it makes of a file, writing
// that and reading it back must give the same four settings.
#include "app/program_config.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "==pravenor== %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using pravenor::app::ProgramConfig;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    ProgramConfig first;
    first.readContent(bytes);

    const std::string text = first.FileText();
    std::size_t lines = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", at + 2))
        ++lines;
    if (lines != 4)
        fail("a written program configuration is not four CR LF lines");
    ProgramConfig again;
    again.readContent(text);
    if (!(again == first))
        fail("writing and reading back changed the program configuration");
    if (again.FileText() != text)
        fail("the program configuration is not written the same twice");
    return 0;
}
