#include "form/EditorSettings.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "CodePage.h"
#include "support/IniFile.h"

namespace {

constexpr const char* kKeySendKeyMode = "SendKeyMode";
constexpr const char* kKeyFontName = "Fontname";
constexpr const char* kKeyFontSize = "Fontsize";
constexpr const char* kKeyForeColor = "ForeColor";
constexpr const char* kKeyBackColor = "BackColor";
constexpr long long kMaxColour = 0xFFFFFF;

bool ReadInteger(const CIniFile& ini, const char* key, long long& value) {
  CString text;
  return ini.GetString(kEditorSection, key, text) && ParseDecimal(text, value);
}

void ReadColour(const CIniFile& ini, const char* key, COLORREF& colour) {
  long long value = 0;
  if (ReadInteger(ini, key, value) && value >= 0 && value <= kMaxColour) colour = static_cast<COLORREF>(value);
}

}  // namespace

bool ParseDecimal(const char* text, long long& value) {
  if (!text) return false;
  while (*text == ' ' || *text == '\t') ++text;
  const char* digits = text + ((*text == '-' || *text == '+') ? 1 : 0);
  if (*digits < '0' || *digits > '9') return false;
  value = std::strtoll(text, nullptr, 10);  // saturates at LLONG_MIN / LLONG_MAX
  return true;
}

bool IsUsableFontName(const char* name) {
  if (!name || !*name) return false;
  for (const char* p = name; *p; ++p) {
    const auto c = static_cast<unsigned char>(*p);
    if (c < 0x20 || c == 0x7F || std::strchr("<>\"'=&", c)) return false;
  }
  const std::wstring wide = CodePage::AnsiToWide(name);
  return !wide.empty() && wide.size() < LF_FACESIZE;
}

bool ReadEditorSettings(const char* path, EditorSettings& settings) {
  CIniFile ini;
  if (!path || !ini.Load(path)) return false;
  long long value = 0;
  if (ReadInteger(ini, kKeySendKeyMode, value))
    settings.sendKeyMode = static_cast<int>(value < INT_MIN ? INT_MIN : (value > INT_MAX ? INT_MAX : value));
  CString name;
  if (ini.GetString(kEditorSection, kKeyFontName, name) && IsUsableFontName(name)) settings.fontName = name;
  if (ReadInteger(ini, kKeyFontSize, value))
    settings.fontSize = static_cast<int>(value < kMinFontSize ? kMinFontSize : (value > kMaxFontSize ? kMaxFontSize : value));
  ReadColour(ini, kKeyForeColor, settings.foreColor);
  ReadColour(ini, kKeyBackColor, settings.backColor);
  return true;
}

bool WriteEditorSettings(const char* path, const EditorSettings& settings) {
  CIniFile ini;
  if (!path || !ini.Load(path)) return false;
  ini.SetInt(kEditorSection, kKeySendKeyMode, settings.sendKeyMode);
  ini.SetString(kEditorSection, kKeyFontName, settings.fontName);
  ini.SetInt(kEditorSection, kKeyFontSize, settings.fontSize);
  ini.SetInt(kEditorSection, kKeyForeColor, static_cast<int>(settings.foreColor));
  ini.SetInt(kEditorSection, kKeyBackColor, static_cast<int>(settings.backColor));
  return ini.Save();
}

bool WriteSendKeyMode(const char* path, int mode) {
  CIniFile ini;
  if (!path || !ini.Load(path)) return false;
  ini.SetInt(kEditorSection, kKeySendKeyMode, mode);
  return ini.Save();
}

int FindPrefixEntry(const std::vector<CString>& entries, const char* prefix) {
  if (!prefix || !*prefix || entries.empty()) return -1;
  CString wanted(prefix);
  wanted.MakeLower();
  const size_t count = entries.size();
  for (size_t step = 1; step <= count; ++step) {
    const size_t index = step % count;  // 1, 2, ..., last, then 0
    CString entry = entries[index];
    entry.MakeLower();
    if (entry.GetLength() >= wanted.GetLength() &&
        std::memcmp(entry.GetString(), wanted.GetString(), static_cast<size_t>(wanted.GetLength())) == 0)
      return static_cast<int>(index);
  }
  return -1;
}
