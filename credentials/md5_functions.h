// MD5 text digest: the credential digest of a text.
//
// The text is a Windows-1252 byte string (one byte per character, see windows1252.h).
// The digest is the RFC 1321 MD5 of exactly those bytes, handed back as 16 characters,
// one per digest byte, in the digest's byte order. It is not hexadecimal: any byte value
// (0x00, CR, LF, '"', '#' included) can occur in it.
#pragma once

#include <string>
#include <string_view>

namespace shared {

// Never fails; the same text always gives the same 16 bytes.
std::string DigestText(std::string_view text);

} // namespace shared
