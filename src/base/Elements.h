// The element codes the program relies on.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace vantrel {

constexpr int kMaxMapSize = 128;  // the most columns or rows a level has

constexpr std::uint16_t kEmptySpaceCode = 0;
constexpr std::uint16_t kFirstPlayerCode = 80;  // players 1..4 are 80..83
constexpr std::uint16_t kFirstCeCode = 360;     // custom element 1
constexpr std::uint16_t kLastCeCode = 615;      // custom element 256
constexpr int kCeCount = 256;
constexpr std::uint16_t kFirstEnvelopeCode = 620;
constexpr std::uint16_t kLastEnvelopeCode = 623;
constexpr std::uint16_t kFirstGroupCode = 624;
constexpr std::uint16_t kLastGroupCode = 655;

// Custom element n (1..256) is element code n + 359.
inline constexpr std::uint16_t CeElementCode(int n) { return static_cast<std::uint16_t>(n + kFirstCeCode - 1); }
inline constexpr std::uint16_t CeNumberOf(std::uint16_t code) { return static_cast<std::uint16_t>(code - (kFirstCeCode - 1)); }
inline constexpr bool IsCeCode(int code) { return code >= kFirstCeCode && code <= kLastCeCode; }

// How the custom elements of a level are drawn, by CE number - 1: with the
// graphic of another element (its code), or, when empty, with the custom
// element tile and the CE's number.
using CeGraphics = std::array<std::optional<std::uint16_t>, kCeCount>;

}  // namespace vantrel
