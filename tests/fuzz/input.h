// What the fuzz targets share: the input read as lines, and a check that stops the run.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace qv::fuzz {

// The input's lines, without their newlines; the text after the last newline is a line too.
inline std::vector<std::string> lines(const uint8_t* data, size_t size) {
    std::vector<std::string> out;
    for (const char *p = reinterpret_cast<const char*>(data), *end = p + size, *nl; p < end; p = nl + 1) {
        nl = static_cast<const char*>(std::memchr(p, '\n', end - p));
        if (!nl) nl = end;
        out.emplace_back(p, nl);
    }
    return out;
}

// The first bytes of text as a value of type T, zero-padded.
template <class T>
T bitsOf(const std::string& text) {
    T v{};
    std::memcpy(&v, text.data(), text.size() < sizeof v ? text.size() : sizeof v);
    return v;
}

// A broken promise is a finding: libFuzzer keeps the input that caused it.
inline void require(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "finding: %s\n", what);
    std::abort();
}

}  // namespace qv::fuzz
