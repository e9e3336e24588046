#include "RequestParser.h"

#include <set>
#include <utility>
#include <vector>

#include "PercentCodec.h"

namespace {

// A depth-first search over the places where each value may end, remembering
// the (position, field) states already known to fail so that no state is
// tried twice: the work stays linear in the number of "&" in the body.
class Splitter {
 public:
  Splitter(const std::string& body, const RequestField* fields, size_t count)
      : m_strBody(body), m_pFields(fields), m_nCount(count), m_arrSpans(count, {std::string::npos, 0}) {}

  bool Match(size_t pos, size_t index) {
    if (index == m_nCount) return pos == m_strBody.size();
    if (m_setFailed.count({pos, index})) return false;
    if (MatchField(pos, index)) return true;
    if (m_pFields[index].optional && Match(pos, index + 1)) return true;
    m_setFailed.insert({pos, index});
    return false;
  }

  // Start and end of each field's value; start is npos for an absent field.
  const std::vector<std::pair<size_t, size_t>>& Spans() const { return m_arrSpans; }

 private:
  bool MatchField(size_t pos, size_t index) {
    const RequestField& field = m_pFields[index];
    std::string prefix = pos == 0 ? std::string() : std::string("&");
    prefix += field.key;
    prefix += '=';
    if (m_strBody.compare(pos, prefix.size(), prefix) != 0) return false;
    size_t start = pos + prefix.size();
    // An encoded value cannot run past its first invalid byte.
    size_t limit = field.encoded ? start + ValidEncodedLength(start) : m_strBody.size();
    for (size_t end = start;; ++end) {
      end = m_strBody.find('&', end);
      if (end == std::string::npos || end > limit) end = limit;
      if (Match(end, index + 1)) {
        m_arrSpans[index] = {start, end};
        return true;
      }
      if (end >= limit) return false;
    }
  }

  // Length of the longest valid encoded text starting at start.
  size_t ValidEncodedLength(size_t start) const {
    size_t at = start;
    while (at < m_strBody.size()) {
      char ch = m_strBody[at];
      if (ch == '%') {
        if (!PercentCodec::IsEncodedText(m_strBody.data() + at, std::min<size_t>(3, m_strBody.size() - at))) break;
        at += 3;
      } else if (PercentCodec::IsEscaped(static_cast<unsigned char>(ch))) {
        break;
      } else {
        ++at;
      }
    }
    return at - start;
  }

  const std::string& m_strBody;
  const RequestField* m_pFields;
  size_t m_nCount;
  std::set<std::pair<size_t, size_t>> m_setFailed;
  std::vector<std::pair<size_t, size_t>> m_arrSpans;
};

}  // namespace

bool RequestParser::Parse(const std::string& body, const RequestField* fields, size_t count, Values& values) {
  values.clear();
  Splitter splitter(body, fields, count);
  if (!splitter.Match(0, 0)) return false;
  for (size_t i = 0; i < count; ++i) {
    auto [start, end] = splitter.Spans()[i];
    if (start == std::string::npos) continue;
    std::string value = body.substr(start, end - start);
    if (fields[i].encoded) {
      std::string bytes;
      if (!PercentCodec::Decode(value.data(), value.size(), bytes)) return false;
      values[fields[i].key] = std::move(bytes);
    } else {
      values[fields[i].key] = PercentCodec::DecodeRaw(value);
    }
  }
  return true;
}
