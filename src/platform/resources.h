// Identifiers shared by the program's code and its Windows resources.
#pragma once

namespace qv::res {
constexpr int kIconMain = 1;  // the 16 x 16 window icon of the console and the password windows
constexpr const char* kProductName = "Quorvane";
constexpr const char* kExeName = "Quorvane 1.0.exe";
}  // namespace qv::res
