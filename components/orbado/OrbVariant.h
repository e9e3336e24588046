#pragma once
// A VARIANT that frees what it holds. It is a VARIANT (vt, lVal, bstrVal are
// read directly), built from ANSI text (a BSTR converted from code page 936),
// from an int (VT_I4), or as NULL (VT_NULL), and read back as ANSI text or as
// a 32-bit integer. Field values of COrbADO come and go as this type.
#include <windows.h>
#include <oleauto.h>

#include "CString.h"
#include "OrbADOApi.h"

class ORBADO_API COrbVariant : public tagVARIANT {
 public:
  COrbVariant();                     // VT_EMPTY
  COrbVariant(const char* text);     // NOLINT: VT_BSTR from ANSI text; null gives VT_NULL
  COrbVariant(const CString& text);  // NOLINT: VT_BSTR
  COrbVariant(int value);            // NOLINT: VT_I4
  COrbVariant(const VARIANT& other);  // NOLINT: a deep copy
  COrbVariant(const COrbVariant& other);
  COrbVariant(COrbVariant&& other) noexcept;
  COrbVariant& operator=(const COrbVariant& other);
  COrbVariant& operator=(COrbVariant&& other) noexcept;
  ~COrbVariant();

  static COrbVariant Null();
  // Takes over a BSTR made by the caller (SysAllocString...).
  static COrbVariant FromBstr(BSTR text);

  bool IsNull() const { return vt == VT_NULL; }
  bool IsEmpty() const { return vt == VT_EMPTY; }
  // The value as ANSI text: numbers become decimal text, NULL and EMPTY
  // become "", a value that has no text form becomes "" as well.
  CString ToString() const;
  // The value as a 32-bit integer: the integer member for integer types, a
  // conversion for text and other numbers, 0 when there is none.
  int ToInt() const;

 private:
  void Clear();
};
