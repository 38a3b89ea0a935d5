// Trims what the static C++ runtime pulls into the exe.
#include <cstdlib>

// libstdc++'s default terminate handler prints the uncaught exception's
// demangled type to stderr, which a GUI program does not have; it brings in
// the demangler and mingw's printf, some 70 KB. Every error of the program is
// caught before it could get here, so a plain abort serves the same end.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
