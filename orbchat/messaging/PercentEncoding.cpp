#include "messaging/PercentEncoding.h"

#include <windows.h>

#include <array>
#include <vector>

namespace {

constexpr char kHex[] = "0123456789ABCDEF";
constexpr wchar_t kReplacement = 0xFFFD;

// The bytes escaped in raw values: the pair separators of a form body (an
// encoded value may keep them, since every letter of a key is escaped inside
// it), and "%" itself, so that a value holding "%26" is not read back as "&".
bool IsRawEscaped(unsigned char byte) { return byte == '&' || byte == '=' || byte == '%'; }

const std::array<bool, 256>& EscapeTable() {
  static const std::array<bool, 256> table = [] {
    std::array<bool, 256> escaped{};
    for (int b = 0; b < 256; ++b) {
      const auto byte = static_cast<unsigned char>(b);
      escaped[static_cast<size_t>(b)] = byte < 0x20 || byte >= 0x50 || byte == '*' || byte == '#' || byte == '%' ||
                                        byte == '<' || byte == '>' || byte == '+' || byte == ' ';
    }
    return escaped;
  }();
  return table;
}

bool IsTrail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE); }

// The ANSI code page as a table, taken once from the system: a message body
// can be a megabyte, and converting it through UTF-16 call by call costs more
// than the escaping. Characters the system cannot map come out as it maps
// them; a lead byte without a valid trail byte becomes U+FFFD and the byte
// after it is read on its own, as the framework's conversion does.
class CAnsiTable {
 public:
  CAnsiTable() {
    for (int b = 0x80; b < 256; ++b) {
      const auto byte = static_cast<unsigned char>(b);
      m_arrLead[byte] = IsDBCSLeadByte(byte) != FALSE;
      if (!m_arrLead[byte]) m_arrSingle[byte] = Convert(reinterpret_cast<const char*>(&byte), 1);
    }
    m_arrPairs.assign(128 * 256, kReplacement);
    char pair[2];
    for (int lead = 0x80; lead < 256; ++lead) {
      if (!m_arrLead[static_cast<size_t>(lead)]) continue;
      pair[0] = static_cast<char>(lead);
      for (int trail = 0x40; trail < 0xFF; ++trail) {
        if (!IsTrail(static_cast<unsigned char>(trail))) continue;
        pair[1] = static_cast<char>(trail);
        m_arrPairs[Index(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail))] = Convert(pair, 2);
      }
    }
  }

  bool IsLead(unsigned char byte) const { return m_arrLead[byte]; }
  wchar_t Single(unsigned char byte) const { return m_arrSingle[byte]; }
  wchar_t Pair(unsigned char lead, unsigned char trail) const { return m_arrPairs[Index(lead, trail)]; }

 private:
  static size_t Index(unsigned char lead, unsigned char trail) { return (size_t{lead} - 0x80) * 256 + trail; }

  // One character, or U+FFFD when the system does not give exactly one.
  static wchar_t Convert(const char* bytes, int length) {
    wchar_t out[2] = {};
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes, length, out, 2);
    if (n != 1 || (out[0] >= 0xD800 && out[0] <= 0xDFFF)) return kReplacement;
    return out[0];
  }

  std::array<bool, 256> m_arrLead{};
  std::array<wchar_t, 256> m_arrSingle{};
  std::vector<wchar_t> m_arrPairs;
};

const CAnsiTable& AnsiTable() {
  static const CAnsiTable table;
  return table;
}

// Writes escaped bytes into a string that grows as needed; the string has its
// final length once the writer is done.
class CEscapeWriter {
 public:
  CEscapeWriter(std::string& out, size_t expected) : m_out(out), m_nStart(out.size()) {
    m_out.resize(m_nStart + expected + kMaxPerChar);
    m_p = m_out.data() + m_nStart;
  }
  ~CEscapeWriter() { m_out.resize(static_cast<size_t>(m_p - m_out.data())); }
  CEscapeWriter(const CEscapeWriter&) = delete;
  CEscapeWriter& operator=(const CEscapeWriter&) = delete;

  // Room for one more character of up to three bytes, all escaped.
  void Reserve() {
    if (static_cast<size_t>(m_out.data() + m_out.size() - m_p) >= kMaxPerChar) return;
    const size_t used = static_cast<size_t>(m_p - m_out.data());
    m_out.resize(used + (used - m_nStart) + kMaxPerChar * 64);
    m_p = m_out.data() + used;
  }

  void Byte(unsigned char byte, const std::array<bool, 256>& table) {
    if (table[byte]) {
      *m_p++ = '%';
      *m_p++ = kHex[byte >> 4];
      *m_p++ = kHex[byte & 0x0F];
    } else {
      *m_p++ = static_cast<char>(byte);
    }
  }

  // The UTF-8 form of one character of the basic plane.
  void Utf8(wchar_t ch, const std::array<bool, 256>& table) {
    const auto c = static_cast<unsigned>(ch);
    if (c < 0x80) {
      Byte(static_cast<unsigned char>(c), table);
    } else if (c < 0x800) {
      Byte(static_cast<unsigned char>(0xC0 | (c >> 6)), table);
      Byte(static_cast<unsigned char>(0x80 | (c & 0x3F)), table);
    } else {
      Byte(static_cast<unsigned char>(0xE0 | (c >> 12)), table);
      Byte(static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F)), table);
      Byte(static_cast<unsigned char>(0x80 | (c & 0x3F)), table);
    }
  }

 private:
  static constexpr size_t kMaxPerChar = 9;
  std::string& m_out;
  size_t m_nStart;
  char* m_p = nullptr;
};

}  // namespace

namespace PercentEncoding {

bool IsEscaped(unsigned char byte) { return EscapeTable()[byte]; }

std::string EncodeBytes(const char* bytes, size_t length) {
  const std::array<bool, 256>& table = EscapeTable();
  std::string out;
  CEscapeWriter writer(out, length * 3);
  for (size_t i = 0; i < length; ++i) writer.Byte(static_cast<unsigned char>(bytes[i]), table);
  return out;
}

std::string EncodeAnsi(const CString& text) {
  std::string out;
  AppendEncodedAnsi(out, text.GetString(), static_cast<size_t>(text.GetLength()));
  return out;
}

void AppendEncodedAnsi(std::string& out, const char* text, size_t length) {
  const std::array<bool, 256>& table = EscapeTable();
  const CAnsiTable& ansi = AnsiTable();
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  CEscapeWriter writer(out, length * 3);
  for (size_t i = 0; i < length;) {
    writer.Reserve();
    const unsigned char byte = bytes[i];
    if (byte < 0x80) {
      writer.Byte(byte, table);
      ++i;
    } else if (!ansi.IsLead(byte)) {
      writer.Utf8(ansi.Single(byte), table);
      ++i;
    } else if (i + 1 < length && IsTrail(bytes[i + 1])) {
      writer.Utf8(ansi.Pair(byte, bytes[i + 1]), table);
      i += 2;
    } else {
      writer.Utf8(kReplacement, table);
      ++i;
    }
  }
}

std::string ProtectRaw(const CString& text) {
  std::string out;
  out.reserve(static_cast<size_t>(text.GetLength()));
  for (char c : text.Str()) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsRawEscaped(byte)) {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace PercentEncoding
