// Trims what the static C++ runtime pulls into the exe.
#include <cstdlib>
#include <new>

// libstdc++'s default terminate handler prints the uncaught exception's
// demangled type to stderr, which a GUI program does not have; it brings in
// the demangler and mingw's printf, some 70 KB. Every error of the program is
// caught before it could get here, so a plain abort serves the same end.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

// What the containers call when a request cannot be met. libstdc++'s own
// versions live in one object with every exception class it can throw, whose
// messages are copy-on-write strings: linking it brings both string
// implementations and std::random_device, some 60 KB. A size beyond what a
// container can hold is memory that cannot be had, and the event dispatch
// reports bad_alloc as such; the others mean a fault in the program, which
// ends it as an uncaught exception would.
namespace std {
void __throw_bad_alloc() {
    throw bad_alloc();
}
void __throw_bad_array_new_length() {
    throw bad_alloc();
}
void __throw_length_error(const char*) {
    throw bad_alloc();
}
void __throw_logic_error(const char*) {
    abort();
}
void __throw_out_of_range_fmt(const char*, ...) {
    abort();
}
}  // namespace std
