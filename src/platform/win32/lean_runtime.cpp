// The program's own answers to two parts of the static C++ library that would otherwise bring
// much of the library with them. Linked into the program only (not into the test programs).
#include <cstdlib>
#include <exception>
#include <new>

// An exception nothing caught ends the program at once, as a fault would. The library's own
// handler writes the exception's demangled name to a console that a windowed program does not
// have, and brings the whole demangler with it (a tenth of the program's size).
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx

// The standard library reports a misuse (an index out of range, a string too long) by throwing a
// `logic_error`, whose message is kept in a string of the library's old kind: its own copy of the
// whole string implementation (a sixth of the program). Here the same reports throw an error that
// keeps the library's message as it is; the event that caused it ends as before (a handler ends at
// the first `std::exception`).
namespace {
class LibraryError : public std::exception {
  public:
    explicit LibraryError(const char* what) : what_(what) {}
    const char* what() const noexcept override { return what_; }

  private:
    const char* what_;  // the library's messages are literals
};
}  // namespace

namespace std {
void __throw_bad_alloc() {
    throw std::bad_alloc();
}
void __throw_bad_array_new_length() {
    throw std::bad_alloc();
}
void __throw_bad_function_call() {
    throw LibraryError("bad function call");
}
void __throw_invalid_argument(const char* what) {
    throw LibraryError(what);
}
void __throw_length_error(const char* what) {
    throw LibraryError(what);
}
void __throw_logic_error(const char* what) {
    throw LibraryError(what);
}
void __throw_out_of_range(const char* what) {
    throw LibraryError(what);
}
void __throw_out_of_range_fmt(const char* what, ...) {
    throw LibraryError(what);
}
void __throw_bad_cast() {
    throw LibraryError("bad cast");
}
void __throw_bad_typeid() {
    throw LibraryError("bad typeid");
}
void __throw_bad_exception() {
    throw LibraryError("bad exception");
}
void __throw_domain_error(const char* what) {
    throw LibraryError(what);
}
void __throw_range_error(const char* what) {
    throw LibraryError(what);
}
void __throw_runtime_error(const char* what) {
    throw LibraryError(what);
}
void __throw_overflow_error(const char* what) {
    throw LibraryError(what);
}
void __throw_underflow_error(const char* what) {
    throw LibraryError(what);
}
}  // namespace std
