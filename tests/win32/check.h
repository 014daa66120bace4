// A small checker for the Win32 backend, whose checks run inside a real (or Wine's) window system.
#pragma once
#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

// Records are filled with designated initializers that name only the fields a check needs.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace qvcheck {

inline std::vector<std::pair<const char*, void (*)()>> cases;  // filled by CHECK_CASE before main
void fail(const char* file, int line, const std::string& what);
void pumpFor(int ms);  // runs the thread's message loop for ms

template <class A, class B>
void checkEq(const A& a, const B& b, const char* as, const char* bs, const char* file, int line) {
    if (a == b) return;
    std::ostringstream o;
    o << as << " == " << bs << ": got " << a << ", expected " << b;
    fail(file, line, o.str());
}

}  // namespace qvcheck

#define CHECK_CASE(name)                                                                             \
    static void check_##name();                                                                      \
    static const bool registered_##name = (qvcheck::cases.emplace_back(#name, &check_##name), true); \
    static void check_##name()
#define CHECK(cond) ((cond) ? (void)0 : qvcheck::fail(__FILE__, __LINE__, "CHECK(" #cond ")"))
#define CHECK_EQ(a, b) qvcheck::checkEq((a), (b), #a, #b, __FILE__, __LINE__)
