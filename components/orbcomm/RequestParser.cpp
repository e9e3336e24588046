#include "RequestParser.h"

#include <algorithm>
#include <cstring>

#include "PercentCodec.h"

namespace {

// A search over the places where each value may end, with constant memory:
// an encoded value can end in one place only (it cannot hold a letter of a
// key, so it ends just before the "&" of the next pair's key, or at the end
// of the body), and a raw value that failed to lead anywhere from one start
// failed for every later end too, so each raw field remembers the lowest
// start it has already tried to the end. Every "&" is looked at a bounded
// number of times: the work is linear in the body.
class Splitter {
 public:
  Splitter(const std::string& body, const RequestField* fields, size_t count)
      : m_strBody(body), m_pFields(fields), m_nCount(count) {
    std::fill(std::begin(m_arrStart), std::end(m_arrStart), std::string::npos);
    std::fill(std::begin(m_arrTriedFrom), std::end(m_arrTriedFrom), std::string::npos);
  }

  bool Match(size_t pos, size_t index) {
    if (index == m_nCount) return pos == m_strBody.size();
    if (MatchField(pos, index)) return true;
    return m_pFields[index].optional && Match(pos, index + 1);
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
    return field.encoded ? MatchEncoded(start, index) : MatchRaw(start, index);
  }

  bool MatchEncoded(size_t start, size_t index) {
    size_t limit = start + PercentCodec::ValidLength(m_strBody.data() + start, m_strBody.size() - start);
    size_t end = limit;
    if (limit < m_strBody.size()) {
      if (limit == start || m_strBody[limit - 1] != '&') return false;
      end = limit - 1;
    }
    return Accept(start, end, index);
  }

  bool MatchRaw(size_t start, size_t index) {
    // Shortest value first; ends from m_arrTriedFrom[index] on are known to fail.
    size_t known = m_arrTriedFrom[index];
    for (size_t end = start; end < known; ++end) {
      end = std::min(m_strBody.find('&', end), m_strBody.size());
      if (end >= known) break;
      if (Accept(start, end, index)) return true;
      if (end == m_strBody.size()) break;
    }
    m_arrTriedFrom[index] = start;
    return false;
  }

  bool Accept(size_t start, size_t end, size_t index) {
    if (!Match(end, index + 1)) return false;
    m_arrStart[index] = start;
    m_arrEnd[index] = end;
    return true;
  }

  const std::string& m_strBody;
  const RequestField* m_pFields;
  size_t m_nCount;
  size_t m_arrStart[RequestParser::kMaxFields];
  size_t m_arrEnd[RequestParser::kMaxFields] = {};
  size_t m_arrTriedFrom[RequestParser::kMaxFields];
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
