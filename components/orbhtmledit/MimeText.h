#pragma once
// MIME single-file web pages (MHT, multipart/related): building one from an
// HTML page and picture files, and taking one apart again, also one written
// by another program. Bytes in, bytes out: no windows, no files. Hostile
// input never fails: what cannot be read is left out.
#include <cstddef>
#include <string>
#include <vector>

namespace MimeText {

// One part as read: headers decoded, body decoded from its transfer encoding.
struct Part {
  std::string contentType;  // lower case, "type/subtype"
  std::string charset;      // lower case, empty when not given
  std::string location;     // Content-Location as written
  std::string contentId;    // Content-ID without its angle brackets
  std::string body;         // decoded bytes
};

// The parts of a message (nested multiparts flattened), at most maxParts.
// False when the text is not a MIME message at all (no header with a
// Content-Type); a damaged message gives the parts that could be read.
bool Parse(const std::string& text, std::vector<Part>& parts, std::size_t maxParts = 1024);

// A picture to embed: the reference the HTML uses (also its
// Content-Location), its content type and its bytes.
struct Picture {
  std::string location;
  std::string contentType;
  std::string bytes;
};

// A multipart/related message: the HTML part (charset gb2312,
// quoted-printable) first, then one base64 part per picture.
std::string Build(const std::string& html, const std::vector<Picture>& pictures);

std::string Base64Encode(const std::string& bytes, std::size_t lineLength = 76);
// Skips anything outside the alphabet; stops at the first "=".
std::string Base64Decode(const std::string& text);
std::string QuotedPrintableEncode(const std::string& bytes);
// Soft line breaks removed, =XX decoded; a malformed "=" is kept as it is.
std::string QuotedPrintableDecode(const std::string& text);

// The picture type of some bytes by their first bytes: ".gif", ".png",
// ".jpg", ".bmp", ".tif", or empty when they are none of these.
std::string PictureExtension(const std::string& bytes);
// "image/gif" and so on for such an extension.
std::string ContentTypeOf(const std::string& extension);

}  // namespace MimeText
