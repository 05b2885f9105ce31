// The Windows-1252 code page, both ways: the programs' own text encoding.
//
// Every text that is hashed, and every text file the programs read or write, is
// Windows-1252: one byte per character. A character the code page has no byte for
// becomes '?', the same in both programs. The five bytes the code page leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the code points of the same
// value, so that every byte string decodes and encodes back unchanged.
#pragma once

#include <string>
#include <string_view>

namespace shared {

inline constexpr char kUnmappableByte = '?';

std::string EncodeWindows1252(std::u32string_view text);
std::u32string DecodeWindows1252(std::string_view bytes);

// True when every character of text has a byte of its own (nothing would become '?').
bool IsWindows1252(std::u32string_view text);

} // namespace shared
