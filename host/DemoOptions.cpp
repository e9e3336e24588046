#include "DemoOptions.h"

#include <cerrno>
#include <cstdlib>

namespace {

// A whole decimal number of milliseconds up to one day.
bool ReadMilliseconds(const CString& text, UINT& out) {
  if (text.IsEmpty() || text.SpanIncluding("0123456789").GetLength() != text.GetLength()) return false;
  errno = 0;
  const unsigned long long value = std::strtoull(text, nullptr, 10);
  if (errno != 0 || value > 24ull * 3600 * 1000) return false;
  out = static_cast<UINT>(value);
  return true;
}

}  // namespace

const char* CDemoOptions::Usage() {
  return "用法: OrbChatDemo.exe [--script] [--user 编号] [--profile 文件夹] [--shots 文件夹] "
         "[--hold 毫秒] [--exit-after 毫秒] [--server mqtt://主机:端口] [--chat send-offline|reply|answer]";
}

bool CDemoOptions::Parse(const std::vector<CString>& args, CString& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const CString& name = args[i];
    if (name == "--script") {
      m_bScripted = true;
      continue;
    }
    if (name == "--help" || name == "-h" || name == "/?") {
      m_bHelp = true;
      continue;
    }
    const bool takesValue = name == "--user" || name == "--profile" || name == "--shots" || name == "--hold" ||
                            name == "--exit-after" || name == "--server" || name == "--chat";
    if (!takesValue) {
      error.Format("未知的参数 %s", name.GetString());
      return false;
    }
    if (i + 1 >= args.size() || args[i + 1].IsEmpty()) {
      error.Format("参数 %s 缺少取值", name.GetString());
      return false;
    }
    const CString& value = args[++i];
    if (name == "--user") {
      m_strUserId = value;
    } else if (name == "--profile") {
      m_strProfileDir = value;
    } else if (name == "--shots") {
      m_strShotsDir = value;
    } else if (name == "--server") {
      m_strServer = value;
    } else if (name == "--chat") {
      if (value != "send-offline" && value != "reply" && value != "answer") {
        error.Format("参数 --chat 的取值 %s 无效：应为 send-offline、reply 或 answer", value.GetString());
        return false;
      }
      m_strChatRole = value;
      m_bScripted = true;
    } else if (!ReadMilliseconds(value, name == "--hold" ? m_nHoldMs : m_nExitAfterMs)) {
      error.Format("参数 %s 的取值 %s 不是毫秒数", name.GetString(), value.GetString());
      return false;
    }
  }
  return true;
}
