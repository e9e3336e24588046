#include "DbValue.h"

#include <climits>
#include <cstring>

#include "CodePage.h"

namespace {

bool ToBlob(const VARIANT& value, std::string& bytes) {
  SAFEARRAY* array = value.parray;
  if (!array || SafeArrayGetDim(array) != 1) return false;
  LONG lower = 0, upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) return false;
  bytes.assign(static_cast<const char*>(data), static_cast<size_t>(upper - lower + 1));
  SafeArrayUnaccessData(array);
  return true;
}

}  // namespace

CDbValue CDbValue::FromColumn(sqlite3_stmt* stmt, int column) {
  CDbValue value;
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
      value.m_nKind = kInteger;
      value.m_nInteger = sqlite3_column_int64(stmt, column);
      break;
    case SQLITE_FLOAT:
      value.m_nKind = kReal;
      value.m_nReal = sqlite3_column_double(stmt, column);
      break;
    case SQLITE_TEXT: {
      value.m_nKind = kText;
      const unsigned char* text = sqlite3_column_text(stmt, column);
      value.m_strBytes.assign(reinterpret_cast<const char*>(text), static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
      break;
    }
    case SQLITE_BLOB: {
      value.m_nKind = kBlob;
      const void* data = sqlite3_column_blob(stmt, column);
      value.m_strBytes.assign(static_cast<const char*>(data), static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
      break;
    }
    default:
      break;
  }
  return value;
}

CDbValue CDbValue::Text(std::string utf8) {
  CDbValue value;
  value.m_nKind = kText;
  value.m_strBytes = std::move(utf8);
  return value;
}

bool CDbValue::FromVariant(const VARIANT& input, CDbValue& out) {
  COrbVariant value(input);  // follows VT_BYREF
  CDbValue result;
  switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL:
      break;
    case VT_BSTR:
      result.m_nKind = kText;
      result.m_strBytes = value.bstrVal ? CodePage::WideToUtf8(value.bstrVal, static_cast<int>(SysStringLen(value.bstrVal))) : "";
      break;
    case VT_I1: case VT_I2: case VT_I4: case VT_INT: case VT_I8:
    case VT_UI1: case VT_UI2: case VT_UI4: case VT_UINT: case VT_BOOL: {
      VARIANT wide;
      VariantInit(&wide);
      if (FAILED(VariantChangeType(&wide, &value, 0, VT_I8))) return false;
      result.m_nKind = kInteger;
      result.m_nInteger = wide.llVal;
      break;
    }
    case VT_R4: case VT_R8: case VT_CY: case VT_DECIMAL: {
      VARIANT real;
      VariantInit(&real);
      if (FAILED(VariantChangeType(&real, &value, 0, VT_R8))) return false;
      result.m_nKind = kReal;
      result.m_nReal = real.dblVal;
      break;
    }
    case VT_ARRAY | VT_UI1:
      if (!ToBlob(value, result.m_strBytes)) return false;
      result.m_nKind = kBlob;
      break;
    default: {
      // Dates and the like are kept as their text form.
      VARIANT text;
      VariantInit(&text);
      if (FAILED(VariantChangeTypeEx(&text, &value, LOCALE_INVARIANT, 0, VT_BSTR))) return false;
      result = Text(text.bstrVal ? CodePage::WideToUtf8(text.bstrVal, static_cast<int>(SysStringLen(text.bstrVal))) : "");
      VariantClear(&text);
      break;
    }
  }
  out = std::move(result);
  return true;
}

int CDbValue::Bind(sqlite3_stmt* stmt, int index) const {
  switch (m_nKind) {
    case kInteger:
      return sqlite3_bind_int64(stmt, index, m_nInteger);
    case kReal:
      return sqlite3_bind_double(stmt, index, m_nReal);
    case kText:
      return sqlite3_bind_text(stmt, index, m_strBytes.data(), static_cast<int>(m_strBytes.size()), SQLITE_TRANSIENT);
    case kBlob:
      return sqlite3_bind_blob(stmt, index, m_strBytes.data(), static_cast<int>(m_strBytes.size()), SQLITE_TRANSIENT);
    default:
      return sqlite3_bind_null(stmt, index);
  }
}

COrbVariant CDbValue::ToVariant() const {
  switch (m_nKind) {
    case kInteger: {
      if (m_nInteger >= INT_MIN && m_nInteger <= INT_MAX) return COrbVariant(static_cast<int>(m_nInteger));
      COrbVariant value;
      value.vt = VT_I8;
      value.llVal = m_nInteger;
      return value;
    }
    case kReal: {
      COrbVariant value;
      value.vt = VT_R8;
      value.dblVal = m_nReal;
      return value;
    }
    case kText: {
      const std::wstring wide = CodePage::Utf8ToWide(m_strBytes.data(), static_cast<int>(m_strBytes.size()));
      BSTR text = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
      return COrbVariant::FromBstr(text);
    }
    case kBlob: {
      SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(m_strBytes.size()));
      if (!array) return COrbVariant();
      void* data = nullptr;
      if (SUCCEEDED(SafeArrayAccessData(array, &data))) {
        if (!m_strBytes.empty()) std::memcpy(data, m_strBytes.data(), m_strBytes.size());
        SafeArrayUnaccessData(array);
      }
      COrbVariant value;
      value.vt = VT_ARRAY | VT_UI1;
      value.parray = array;
      return value;
    }
    default:
      return COrbVariant::Null();
  }
}
