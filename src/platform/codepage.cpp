#include "kxplatform.h"

#include <array>

namespace kxp {
namespace {

enum : unsigned char { kAlpha = 1, kUpper = 2, kLower = 4 };

struct Tables {
    std::array<unsigned char, 256> flags{};
    std::array<unsigned char, 256> upper{};
    std::array<unsigned char, 256> lower{};
};

constexpr Tables make_tables() {
    Tables t{};
    for (int c = 0; c < 256; ++c) {
        t.upper[c] = static_cast<unsigned char>(c);
        t.lower[c] = static_cast<unsigned char>(c);
    }
    auto pair = [&t](int up, int low) {
        t.flags[up] = kAlpha | kUpper;
        t.flags[low] = kAlpha | kLower;
        t.lower[up] = static_cast<unsigned char>(low);
        t.upper[low] = static_cast<unsigned char>(up);
    };
    for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7) pair(c, c + 32);  // 0xD7 and 0xF7 are the multiplication and division signs
    pair(0x8A, 0x9A);                    // S caron
    pair(0x8C, 0x9C);                    // OE ligature
    pair(0x8E, 0x9E);                    // Z caron
    pair(0x9F, 0xFF);                    // Y diaeresis
    // Lower-case letters without an upper-case partner in this code page.
    for (int c : {0x83, 0xB5, 0xDF}) t.flags[c] = kAlpha | kLower;
    // Ordinal indicators: letters without case.
    for (int c : {0xAA, 0xBA}) t.flags[c] = kAlpha;
    return t;
}

constexpr Tables kTables = make_tables();

}  // namespace

bool cp_is_alpha(unsigned char c) noexcept { return (kTables.flags[c] & kAlpha) != 0; }
bool cp_is_upper(unsigned char c) noexcept { return (kTables.flags[c] & kUpper) != 0; }
bool cp_is_lower(unsigned char c) noexcept { return (kTables.flags[c] & kLower) != 0; }
unsigned char cp_to_upper(unsigned char c) noexcept { return kTables.upper[c]; }
unsigned char cp_to_lower(unsigned char c) noexcept { return kTables.lower[c]; }
const unsigned char* cp_lower_table() noexcept { return kTables.lower.data(); }

}  // namespace kxp

#if defined(_WIN32)
#include "win32/codepage.inc"
#else
#include "posix/codepage.inc"
#endif
