#include "RequestParser.h"

#include <cstring>
#include <set>
#include <utility>

#include "PercentCodec.h"

namespace {

// A depth-first search over the places where each value may end, remembering
// the (position, field) states already known to fail so that no state is
// tried twice: the work stays linear in the number of "&" in the body.
class Splitter {
 public:
  Splitter(const std::string& body, const RequestField* fields, size_t count)
      : m_strBody(body), m_pFields(fields), m_nCount(count) {
    std::fill(std::begin(m_arrStart), std::end(m_arrStart), std::string::npos);
  }

  bool Match(size_t pos, size_t index) {
    if (index == m_nCount) return pos == m_strBody.size();
    if (!m_setFailed.empty() && m_setFailed.count({pos, index})) return false;
    if (MatchField(pos, index)) return true;
    if (m_pFields[index].optional && Match(pos, index + 1)) return true;
    m_setFailed.insert({pos, index});
    return false;
  }

  // Where each field's value starts and ends; start is npos for an absent field.
  size_t Start(size_t index) const { return m_arrStart[index]; }
  size_t End(size_t index) const { return m_arrEnd[index]; }

 private:
  bool MatchField(size_t pos, size_t index) {
    const RequestField& field = m_pFields[index];
    size_t keyLength = std::strlen(field.key);
    size_t at = pos;
    if (pos > 0) {
      if (m_strBody.compare(at, 1, "&") != 0) return false;
      ++at;
    }
    if (m_strBody.compare(at, keyLength, field.key) != 0 || m_strBody.compare(at + keyLength, 1, "=") != 0)
      return false;
    size_t start = at + keyLength + 1;
    // An encoded value cannot run past its first invalid byte.
    size_t limit = field.encoded ? start + ValidEncodedLength(start) : m_strBody.size();
    for (size_t end = start;; ++end) {
      end = m_strBody.find('&', end);
      if (end == std::string::npos || end > limit) end = limit;
      if (Match(end, index + 1)) {
        m_arrStart[index] = start;
        m_arrEnd[index] = end;
        return true;
      }
      if (end >= limit) return false;
    }
  }

  // Length of the longest valid encoded text starting at start.
  size_t ValidEncodedLength(size_t start) const {
    return PercentCodec::ValidLength(m_strBody.data() + start, m_strBody.size() - start);
  }

  const std::string& m_strBody;
  const RequestField* m_pFields;
  size_t m_nCount;
  std::set<std::pair<size_t, size_t>> m_setFailed;
  size_t m_arrStart[RequestParser::kMaxFields];
  size_t m_arrEnd[RequestParser::kMaxFields] = {};
};

}  // namespace

const std::string* RequestParser::Values::Find(const char* key) const {
  for (size_t i = 0; i < count; ++i) {
    if (std::strcmp(fields[i].key, key) == 0) return present[i] ? &value[i] : nullptr;
  }
  return nullptr;
}

bool RequestParser::Parse(const std::string& body, const RequestField* fields, size_t count, Values& values) {
  values.fields = fields;
  values.count = 0;
  if (count > kMaxFields) return false;
  Splitter splitter(body, fields, count);
  if (!splitter.Match(0, 0)) return false;
  values.count = count;
  for (size_t i = 0; i < count; ++i) {
    size_t start = splitter.Start(i);
    values.present[i] = start != std::string::npos;
    values.value[i].clear();
    if (!values.present[i]) continue;
    size_t length = splitter.End(i) - start;
    if (fields[i].encoded) {
      if (!PercentCodec::Decode(body.data() + start, length, values.value[i])) return false;
    } else {
      values.value[i] = PercentCodec::DecodeRaw(body.substr(start, length));
    }
  }
  return true;
}
