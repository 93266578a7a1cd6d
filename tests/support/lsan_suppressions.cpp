// Linked into every test under the sanitizers. fontconfig, which Qt's widgets load, keeps its
// configuration for the life of the process and never frees it; without this the leak
// checker would blame every widget test for it.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}
