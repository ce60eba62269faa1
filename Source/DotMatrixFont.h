#pragma once

#include <cstdint>

/** The two bitmap fonts of the dot-matrix displays, for the characters '!' ... ']' (lower case is
    shown as upper case; anything else is a blank cell that still takes its advance). */
namespace dotfont
{
/** Seven rows, top first, five columns each (bit 4 = leftmost); null for a blank cell. */
const std::uint8_t* glyph5x7 (char c) noexcept;

/** Five rows, top first, three columns each (bit 2 = leftmost); null for a blank cell. */
const std::uint8_t* glyph3x5 (char c) noexcept;
} // namespace dotfont
