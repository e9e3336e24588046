#include "AccessStatement.h"

#include "CodePage.h"

namespace {

bool IsBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\f' || ch == '\v'; }
// Letters, digits, "_" and every byte of a multi-byte UTF-8 character.
bool IsWordChar(char ch) {
  const unsigned char c = static_cast<unsigned char>(ch);
  return c >= 0x80 || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
char Lower(char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; }

size_t SkipBlanks(const std::string& text, size_t pos) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  return pos;
}

// True when the keyword (lower case) stands at pos as a whole word.
bool IsKeywordAt(const std::string& text, size_t pos, const char* keyword) {
  size_t i = 0;
  for (; keyword[i]; ++i)
    if (pos + i >= text.size() || Lower(text[pos + i]) != keyword[i]) return false;
  return pos + i >= text.size() || !IsWordChar(text[pos + i]);
}

// An identifier at pos: a word, or a name in [], "" or ``. Returns the
// position after it (pos when there is none) and the bare name.
size_t ReadIdentifier(const std::string& text, size_t pos, std::string& name) {
  if (pos >= text.size()) return pos;
  const char open = text[pos];
  const char close = open == '[' ? ']' : (open == '"' || open == '`' ? open : '\0');
  if (close) {
    size_t end = text.find(close, pos + 1);
    if (end == std::string::npos) return pos;
    name = text.substr(pos + 1, end - pos - 1);
    return end + 1;
  }
  size_t end = pos;
  while (end < text.size() && (IsWordChar(text[end]) || text[end] == '.')) ++end;
  name = text.substr(pos, end - pos);
  return end;
}

// True when the text between the quotes of a value holds a quote that is not
// doubled and is followed by AND or OR, a column, "=" and a quote: that is a
// second "column='value'" comparison, not part of one id.
bool HoldsSecondComparison(const std::string& value) {
  for (size_t q = value.find('\''); q != std::string::npos; q = value.find('\'', q + 1)) {
    if (q + 1 < value.size() && value[q + 1] == '\'') {
      ++q;  // a doubled quote stands for one
      continue;
    }
    size_t pos = SkipBlanks(value, q + 1);
    if (IsKeywordAt(value, pos, "and")) pos += 3;
    else if (IsKeywordAt(value, pos, "or")) pos += 2;
    else continue;
    const size_t column = SkipBlanks(value, pos);
    std::string name;
    const size_t after = ReadIdentifier(value, column, name);
    if (name.empty()) continue;
    const size_t equals = SkipBlanks(value, after);
    if (equals >= value.size() || value[equals] != '=') continue;
    const size_t quote = SkipBlanks(value, equals + 1);
    if (quote < value.size() && value[quote] == '\'') return true;
  }
  return false;
}

}  // namespace

CAccessStatement::CAccessStatement(const char* ansiSql) { Parse(CodePage::AnsiToUtf8(ansiSql ? ansiSql : "")); }

void CAccessStatement::Parse(std::string text) {
  while (!text.empty() && (IsBlank(text.back()) || text.back() == ';')) text.pop_back();
  size_t pos = SkipBlanks(text, 0);
  text.erase(0, pos);
  if (!IsKeywordAt(text, 0, "select")) {
    m_strBody = text;
    return;
  }
  pos = SkipBlanks(text, 6);
  bool distinct = false;
  if (IsKeywordAt(text, pos, "distinct")) {
    distinct = true;
    pos = SkipBlanks(text, pos + 8);
  }
  // TOP n: cut here, LIMIT n at the end.
  if (IsKeywordAt(text, pos, "top")) {
    size_t digits = SkipBlanks(text, pos + 3);
    size_t end = digits;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
    if (end > digits && end < text.size() && IsBlank(text[end])) {
      m_strLimit = text.substr(digits, end - digits);
      text.erase(pos, SkipBlanks(text, end) - pos);
    }
  }
  // SELECT * FROM table: remember the table and where the "*" stands.
  if (!distinct && pos < text.size() && text[pos] == '*') {
    size_t from = SkipBlanks(text, pos + 1);
    if (from > pos + 1 && IsKeywordAt(text, from, "from")) {
      size_t name = SkipBlanks(text, from + 4);
      std::string table;
      size_t after = ReadIdentifier(text, name, table);
      if (name > from + 4 && after > name && !table.empty() &&
          (after == text.size() || IsBlank(text[after]))) {
        m_strTable = table;
        m_nStarPos = pos;
      }
    }
  }
  // WHERE column='value' at the end: the value is bound, not spliced.
  const size_t firstQuote = text.find('\'');
  if (firstQuote != std::string::npos && text.size() > firstQuote + 1 && text.back() == '\'') {
    for (size_t at = 1; at + 5 <= firstQuote; ++at) {
      if (!IsBlank(text[at - 1]) || !IsKeywordAt(text, at, "where")) continue;
      size_t column = SkipBlanks(text, at + 5);
      std::string name;
      size_t after = ReadIdentifier(text, column, name);
      if (column == at + 5 || name.empty()) break;
      size_t equals = SkipBlanks(text, after);
      if (equals >= text.size() || text[equals] != '=') break;
      size_t quote = SkipBlanks(text, equals + 1);
      if (quote != firstQuote) break;
      std::string value = text.substr(quote + 1, text.size() - quote - 2);
      m_bSeveralValues = HoldsSecondComparison(value);
      for (size_t q = value.find("''"); q != std::string::npos; q = value.find("''", q + 1)) value.erase(q, 1);
      m_strValue = value;
      m_bHasValue = true;
      text = text.substr(0, equals + 1) + "?";
      break;
    }
  }
  m_strBody = text;
}

std::string CAccessStatement::Text(bool withRowKey) const {
  std::string text = m_strBody;
  if (withRowKey && m_nStarPos != std::string::npos) text.insert(m_nStarPos, "_rowid_, ");
  if (!m_strLimit.empty()) text += " LIMIT " + m_strLimit;
  return text;
}
