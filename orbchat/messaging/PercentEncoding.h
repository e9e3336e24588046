#pragma once
// The escaping of values in form-encoded request bodies. Encoded values are
// code page 936 text converted to UTF-8 and escaped byte by byte with the
// module's own table: every byte from 0x50 up (so lower case letters are sent
// as %61 and so on), the bytes below 0x20 and * # % < > + and the blank.
// "&", "=", "?" and "/" stay as they are; since every letter of a key is
// escaped, "&key=" can never appear inside an encoded value. Raw values (ids,
// flags, the body type) are copied, except for the two bytes that would let
// them cut the body into other pairs and the "%" of the escapes themselves.
#include <cstddef>
#include <string>

#include "CString.h"

namespace PercentEncoding {

// True for a byte that an encoded value carries as "%" and two hex digits.
bool IsEscaped(unsigned char byte);

// Escapes bytes as the table says; the result is at most three times as long.
std::string EncodeBytes(const char* bytes, size_t length);

// Code page 936 text to UTF-8, then escaped.
std::string EncodeAnsi(const CString& text);
// The same, appended to out, in one pass.
void AppendEncodedAnsi(std::string& out, const char* text, size_t length);

// A raw value: copied as it is, except "&" and "=" (written %26 and %3D, which
// the server turns back) so that an id taken from a received message, such
// as a thread id another client made up, cannot add or replace pairs, and "%"
// (written %25) so that every value arrives exactly, "%26" included.
std::string ProtectRaw(const CString& text);

}  // namespace PercentEncoding
