// The stored password's decoding and the check of a typed password. Line 1 is the stored text,
// line 2 what is typed.
#include <string>

#include "engine/pass_enter.h"
#include "engine/password.h"
#include "input.h"

using namespace qv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto in = fuzz::lines(data, size);
    const std::string stored = in.empty() ? "" : in[0];
    const std::string typed = in.size() < 2 ? "" : in[1];

    const std::string plain = decodePassword(stored);
    fuzz::require(decodePassword(encodePassword(typed)) == typed, "password changed by storing it");
    fuzz::require(passwordAccepted(plain, plain), "the stored password refused");
    // Only the master password opens more than one stored password.
    if (passwordAccepted(typed, plain) && typed != plain)
        fuzz::require(passwordAccepted(typed, plain + "x"), "a wrong password accepted");
    return 0;
}
