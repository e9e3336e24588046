#pragma once
// Turns a statement as the module writes it for an Access database into one
// SQLite runs:
// - "SELECT TOP n ..." becomes "SELECT ... LIMIT n";
// - a statement that ends in "WHERE column='value'" gets the value bound as a
//   parameter: everything between the quote after "=" and the final quote is
//   the value, with a doubled quote standing for one. Ids are put between the
//   quotes unchanged, so an id holding quotes (a' OR '1'='1) stays one value
//   and cannot change the statement. A second comparison with a quoted value
//   ("WHERE a='x' AND b='y'") cannot be told from such an id and would be
//   bound as one value "x' AND b='y", so a statement whose value holds a lone
//   quote followed by AND or OR, a column, "=" and a quote is refused;
// - for "SELECT * FROM table ..." it knows the table, so a changeable result
//   can carry each row's key.
#include <string>

class CAccessStatement {
 public:
  // ansiSql is code page 936 text.
  explicit CAccessStatement(const char* ansiSql);

  bool IsEmpty() const { return m_strBody.empty(); }
  // True for a statement that compares more than one column with a quoted
  // value; such a statement must not run.
  bool HasSeveralValues() const { return m_bSeveralValues; }
  // UTF-8 text for SQLite, "?" standing for the bound value when there is
  // one; withRowKey puts the row key "_rowid_" before the columns (only when
  // Table() is known).
  std::string Text(bool withRowKey) const;
  bool HasValue() const { return m_bHasValue; }
  const std::string& Value() const { return m_strValue; }
  // The table of a "SELECT * FROM table" statement, UTF-8 without brackets;
  // empty for any other statement.
  const std::string& Table() const { return m_strTable; }

 private:
  void Parse(std::string text);

  std::string m_strBody;
  std::string m_strLimit;
  std::string m_strTable;
  std::string m_strValue;
  size_t m_nStarPos = std::string::npos;
  bool m_bHasValue = false;
  bool m_bSeveralValues = false;
};
