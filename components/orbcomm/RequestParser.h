#pragma once
// Splits a form-encoded request body into its pairs. The client writes the
// pairs of a request in a fixed order and leaves raw values (ids, member lists)
// unescaped, so a raw value may itself hold "&" or "="; the parser therefore
// reads the body against the list of keys the request may carry, in order,
// and accepts a split only where every encoded value is valid percent-encoded
// text. Encoded values are never ambiguous: their letters from P up are always
// escaped, so "&key=" cannot occur inside one (every key starts with a
// lower-case letter). The split takes time linear in the body and a fixed
// amount of memory, whatever the body holds.
#include <cstddef>
#include <string>

struct RequestField {
  const char* key;
  bool encoded;   // percent-encoded UTF-8; otherwise raw
  bool optional;  // the client leaves the pair out when the value is empty
};

class RequestParser {
 public:
  static constexpr size_t kMaxFields = 8;

  // The values of one request, in field order: encoded values decoded to their
  // UTF-8 bytes, raw values with %26, %3D and %25 turned back into "&", "="
  // and "%".
  struct Values {
    const RequestField* fields = nullptr;
    size_t count = 0;
    std::string value[kMaxFields];
    bool present[kMaxFields] = {};
    // Null when the key is absent (or not a field of the request).
    const std::string* Find(const char* key) const;
  };

  // False when the body is not exactly the fields in order (or has more
  // fields than kMaxFields).
  static bool Parse(const std::string& body, const RequestField* fields, size_t count, Values& values);
};
