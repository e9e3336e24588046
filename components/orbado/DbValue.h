#pragma once
// One field value as SQLite holds it, kept in the recordset's snapshot and
// turned into a VARIANT only when a caller reads it. Text is UTF-8.
#include <sqlite3.h>

#include <string>

#include "OrbVariant.h"

class CDbValue {
 public:
  enum Kind { kNull, kInteger, kReal, kText, kBlob };

  CDbValue() = default;
  static CDbValue FromColumn(sqlite3_stmt* stmt, int column);
  // False for a VARIANT type that has no place in a table (objects, arrays
  // other than bytes); out is then unchanged.
  static bool FromVariant(const VARIANT& value, CDbValue& out);
  static CDbValue Text(std::string utf8);

  int Bind(sqlite3_stmt* stmt, int index) const;
  // NULL as VT_NULL, text as VT_BSTR, integers as VT_I4 (VT_I8 beyond 32
  // bits), reals as VT_R8, bytes as a VT_UI1 array.
  COrbVariant ToVariant() const;

  Kind GetKind() const { return m_nKind; }

 private:
  Kind m_nKind = kNull;
  sqlite3_int64 m_nInteger = 0;
  double m_nReal = 0;
  std::string m_strBytes;
};
