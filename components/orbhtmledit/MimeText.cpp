#include "MimeText.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace MimeText {

namespace {

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return text;
}

std::string Trim(const std::string& text) {
  std::size_t first = 0, last = text.size();
  while (first < last && (text[first] == ' ' || text[first] == '\t' || text[first] == '\r' || text[first] == '\n'))
    ++first;
  while (last > first &&
         (text[last - 1] == ' ' || text[last - 1] == '\t' || text[last - 1] == '\r' || text[last - 1] == '\n'))
    --last;
  return text.substr(first, last - first);
}

// The next line of text from pos (without its line end); pos moves past it.
bool NextLine(const std::string& text, std::size_t& pos, std::string& line) {
  if (pos >= text.size()) return false;
  std::size_t end = text.find('\n', pos);
  if (end == std::string::npos) end = text.size();
  std::size_t stop = end;
  if (stop > pos && text[stop - 1] == '\r') --stop;
  line.assign(text, pos, stop - pos);
  pos = end < text.size() ? end + 1 : end;
  return true;
}

struct Headers {
  std::vector<std::pair<std::string, std::string>> fields;  // name lower case, value unfolded
  std::string Get(const char* name) const {
    for (const auto& field : fields)
      if (field.first == name) return field.second;
    return std::string();
  }
};

// Reads headers from pos up to the empty line; pos moves to the body.
Headers ReadHeaders(const std::string& text, std::size_t& pos) {
  Headers headers;
  std::string line;
  std::size_t before = pos;
  while (NextLine(text, pos, line)) {
    if (line.empty()) return headers;
    if ((line[0] == ' ' || line[0] == '\t') && !headers.fields.empty()) {
      headers.fields.back().second += " " + Trim(line);
    } else {
      const std::size_t colon = line.find(':');
      if (colon == std::string::npos || colon == 0) {
        // Not a header: the body starts here.
        pos = before;
        return headers;
      }
      headers.fields.emplace_back(Lower(Trim(line.substr(0, colon))), Trim(line.substr(colon + 1)));
    }
    before = pos;
  }
  return headers;
}

// A parameter of a structured header value (boundary, charset, start).
std::string Parameter(const std::string& value, const char* wanted) {
  std::size_t pos = value.find(';');
  while (pos != std::string::npos) {
    ++pos;
    const std::size_t equals = value.find('=', pos);
    if (equals == std::string::npos) break;
    const std::string name = Lower(Trim(value.substr(pos, equals - pos)));
    std::size_t start = equals + 1;
    while (start < value.size() && (value[start] == ' ' || value[start] == '\t')) ++start;
    std::string result;
    std::size_t next;
    if (start < value.size() && value[start] == '"') {
      const std::size_t close = value.find('"', start + 1);
      result = value.substr(start + 1, close == std::string::npos ? std::string::npos : close - start - 1);
      next = close == std::string::npos ? std::string::npos : value.find(';', close);
    } else {
      next = value.find(';', start);
      result = Trim(value.substr(start, next == std::string::npos ? std::string::npos : next - start));
    }
    if (name == wanted) return result;
    pos = next;
  }
  return std::string();
}

std::string MediaType(const std::string& value) { return Lower(Trim(value.substr(0, value.find(';')))); }

std::string Decode(const std::string& body, const std::string& encoding) {
  const std::string name = Lower(encoding);
  if (name == "base64") return Base64Decode(body);
  if (name == "quoted-printable") return QuotedPrintableDecode(body);
  return body;
}

// Splits a multipart body at its boundary and reads each part; nested
// multiparts are read in turn, to a small depth.
void ReadMultipart(const std::string& text, std::size_t pos, std::string boundary, std::vector<Part>& parts,
                   std::size_t maxParts, int depth) {
  std::string line;
  if (boundary.empty()) {
    // No boundary given: the first line that looks like a delimiter.
    std::size_t scan = pos;
    while (NextLine(text, scan, line))
      if (line.size() > 2 && line.compare(0, 2, "--") == 0) {
        boundary = Trim(line.substr(2));
        break;
      }
    if (boundary.empty()) return;
  }
  const std::string delimiter = "--" + boundary;
  // Skip the preamble.
  std::size_t start = std::string::npos;
  while (NextLine(text, pos, line))
    if (line.compare(0, delimiter.size(), delimiter) == 0) {
      start = pos;
      break;
    }
  while (start != std::string::npos && start <= text.size() && parts.size() < maxParts) {
    // The part runs to the line end before the next delimiter line.
    std::size_t end = std::string::npos, next = std::string::npos;
    bool last = false;
    for (std::size_t found = text.find(delimiter, start); found != std::string::npos;
         found = text.find(delimiter, found + 1)) {
      if (found != 0 && text[found - 1] != '\n') continue;
      end = found;
      if (end > start && text[end - 1] == '\n') --end;
      if (end > start && text[end - 1] == '\r') --end;
      last = text.compare(found + delimiter.size(), 2, "--") == 0;
      next = found;
      NextLine(text, next, line);
      break;
    }
    if (end == std::string::npos) end = text.size(), last = true;
    const std::string chunk = text.substr(start, end - start);
    std::size_t bodyPos = 0;
    const Headers headers = ReadHeaders(chunk, bodyPos);
    const std::string type = headers.Get("content-type");
    const std::string media = MediaType(type);
    if (media.rfind("multipart/", 0) == 0) {
      if (depth < 3) ReadMultipart(chunk, bodyPos, Parameter(type, "boundary"), parts, maxParts, depth + 1);
    } else {
      Part part;
      part.contentType = media;
      part.charset = Lower(Parameter(type, "charset"));
      part.location = headers.Get("content-location");
      std::string id = headers.Get("content-id");
      if (id.size() >= 2 && id.front() == '<' && id.back() == '>') id = id.substr(1, id.size() - 2);
      part.contentId = id;
      part.body = Decode(chunk.substr(bodyPos), headers.Get("content-transfer-encoding"));
      parts.push_back(std::move(part));
    }
    if (last) break;
    start = next;
  }
}

}  // namespace

bool Parse(const std::string& text, std::vector<Part>& parts, std::size_t maxParts) {
  parts.clear();
  std::size_t pos = 0;
  // Leading blank lines are tolerated.
  while (pos < text.size() && (text[pos] == '\r' || text[pos] == '\n' || text[pos] == ' ')) ++pos;
  const Headers headers = ReadHeaders(text, pos);
  const std::string type = headers.Get("content-type");
  if (type.empty()) return false;
  const std::string media = MediaType(type);
  if (media.rfind("multipart/", 0) == 0) {
    ReadMultipart(text, pos, Parameter(type, "boundary"), parts, maxParts, 0);
  } else if (maxParts > 0) {
    Part part;
    part.contentType = media;
    part.charset = Lower(Parameter(type, "charset"));
    part.location = headers.Get("content-location");
    part.body = Decode(text.substr(pos), headers.Get("content-transfer-encoding"));
    parts.push_back(std::move(part));
  }
  return true;
}

std::string Build(const std::string& html, const std::vector<Picture>& pictures) {
  // A boundary that occurs nowhere in the content. Quoted-printable and
  // base64 text cannot hold "=_", so only the locations need checking.
  std::string boundary;
  for (unsigned attempt = 0;; ++attempt) {
    char text[64];
    std::snprintf(text, sizeof text, "----=_NextPart_000_%04X_%08lX.%08X", attempt,
                  static_cast<unsigned long>(html.size()), static_cast<unsigned>(pictures.size() * 2654435761u));
    boundary = text;
    bool clash = false;
    for (const Picture& picture : pictures) clash |= picture.location.find(boundary) != std::string::npos;
    if (!clash) break;
  }
  std::string out;
  out.reserve(html.size() * 3 / 2 + 256);
  out += "From: <Saved by OrbHtmlEdit>\r\n";
  out += "Subject: \r\n";
  out += "MIME-Version: 1.0\r\n";
  out += "Content-Type: multipart/related;\r\n\ttype=\"text/html\";\r\n\tboundary=\"" + boundary + "\"\r\n";
  out += "X-MimeOLE: Produced By OrbHtmlEdit\r\n\r\n";
  out += "This is a multi-part message in MIME format.\r\n\r\n";
  out += "--" + boundary + "\r\n";
  out += "Content-Type: text/html;\r\n\tcharset=\"gb2312\"\r\n";
  out += "Content-Transfer-Encoding: quoted-printable\r\n\r\n";
  out += QuotedPrintableEncode(html);
  out += "\r\n\r\n";
  for (const Picture& picture : pictures) {
    out += "--" + boundary + "\r\n";
    out += "Content-Type: " + picture.contentType + "\r\n";
    out += "Content-Transfer-Encoding: base64\r\n";
    std::string location = picture.location;
    for (char& c : location)
      if (c == '\r' || c == '\n') c = ' ';
    out += "Content-Location: " + location + "\r\n\r\n";
    out += Base64Encode(picture.bytes);
    out += "\r\n\r\n";
  }
  out += "--" + boundary + "--\r\n";
  return out;
}

std::string Base64Encode(const std::string& bytes, std::size_t lineLength) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve(bytes.size() * 4 / 3 + bytes.size() / 38 + 8);
  std::size_t column = 0;
  const auto put = [&](char c) {
    if (lineLength && column == lineLength) {
      out += "\r\n";
      column = 0;
    }
    out += c;
    ++column;
  };
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) | (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                       static_cast<unsigned char>(bytes[i + 2]);
    put(kAlphabet[(v >> 18) & 63]);
    put(kAlphabet[(v >> 12) & 63]);
    put(kAlphabet[(v >> 6) & 63]);
    put(kAlphabet[v & 63]);
  }
  if (i < bytes.size()) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    put(kAlphabet[(v >> 18) & 63]);
    put(kAlphabet[(v >> 12) & 63]);
    put(i + 1 < bytes.size() ? kAlphabet[(v >> 6) & 63] : '=');
    put('=');
  }
  return out;
}

std::string Base64Decode(const std::string& text) {
  static const auto table = [] {
    std::array<signed char, 256> t{};
    t.fill(-1);
    const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int i = 0; i < 64; ++i) t[static_cast<unsigned char>(alphabet[i])] = static_cast<signed char>(i);
    return t;
  }();
  std::string out;
  out.reserve(text.size() * 3 / 4);
  unsigned value = 0;
  int bits = 0;
  for (char c : text) {
    if (c == '=') break;
    const int digit = table[static_cast<unsigned char>(c)];
    if (digit < 0) continue;
    value = (value << 6) | static_cast<unsigned>(digit);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>((value >> bits) & 0xFF);
    }
  }
  return out;
}

std::string QuotedPrintableEncode(const std::string& bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  std::size_t column = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
      out += "\r\n";
      column = 0;
      ++i;
      continue;
    }
    const bool lineEnds = i + 1 == bytes.size() || bytes[i + 1] == '\r';
    const bool literal = (c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !lineEnds);
    const std::size_t width = literal ? 1 : 3;
    if (column + width > 75) {
      out += "=\r\n";
      column = 0;
    }
    if (literal) {
      out += static_cast<char>(c);
    } else {
      out += '=';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
    column += width;
  }
  return out;
}

std::string QuotedPrintableDecode(const std::string& text) {
  const auto hex = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '=') {
      out += c;
      continue;
    }
    // A soft line break: "=" followed by blanks and a line end.
    std::size_t j = i + 1;
    while (j < text.size() && (text[j] == ' ' || text[j] == '\t')) ++j;
    if (j < text.size() && (text[j] == '\r' || text[j] == '\n')) {
      if (text[j] == '\r' && j + 1 < text.size() && text[j + 1] == '\n') ++j;
      i = j;
      continue;
    }
    if (j == text.size()) break;
    if (i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
      out += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
      i += 2;
      continue;
    }
    out += c;
  }
  return out;
}

std::string PictureExtension(const std::string& bytes) {
  const auto starts = [&](const char* magic, std::size_t size) {
    return bytes.size() >= size && bytes.compare(0, size, magic, size) == 0;
  };
  if (starts("GIF87a", 6) || starts("GIF89a", 6)) return ".gif";
  if (starts("\x89PNG\r\n\x1A\n", 8)) return ".png";
  if (starts("\xFF\xD8\xFF", 3)) return ".jpg";
  if (starts("BM", 2) && bytes.size() >= 26) return ".bmp";
  if (starts("II*\0", 4) || starts("MM\0*", 4)) return ".tif";
  return std::string();
}

std::string ContentTypeOf(const std::string& extension) {
  const std::string ext = Lower(extension);
  if (ext == ".gif") return "image/gif";
  if (ext == ".png") return "image/png";
  if (ext == ".jpg" || ext == ".jpeg" || ext == ".jpe") return "image/jpeg";
  if (ext == ".bmp") return "image/bmp";
  if (ext == ".tif" || ext == ".tiff") return "image/tiff";
  return "application/octet-stream";
}

}  // namespace MimeText
