#include "PoolNames.h"

#include "OrbXmlReader.h"

namespace {

CString EscapeAttribute(const CString& text) {
  CString out = text;
  out.Replace("&", "&amp;");
  out.Replace("<", "&lt;");
  out.Replace(">", "&gt;");
  out.Replace("\"", "&quot;");
  return out;
}

}  // namespace

const char* const PoolNames::kCodes[3] = {"5", "505", "506"};

PoolNames::PoolNames() {
  m_mapPools["5"] = {"", "orb.sys.ans"};
  m_mapPools["505"] = {"orb.chat.req", "orb.chat.ans"};
  m_mapPools["506"] = {"orb.group.req", "orb.group.ans"};
}

void PoolNames::Set(const CString& code, const CString& reqPool, const CString& ansPool) {
  auto& pools = m_mapPools[code];
  if (!reqPool.IsEmpty()) pools.first = reqPool;
  if (!ansPool.IsEmpty()) pools.second = ansPool;
}

CString PoolNames::Request(const CString& code) const {
  auto found = m_mapPools.find(code);
  return found == m_mapPools.end() ? CString() : found->second.first;
}

CString PoolNames::Answer(const CString& code) const {
  auto found = m_mapPools.find(code);
  return found == m_mapPools.end() ? CString() : found->second.second;
}

CString PoolNames::CodeOfRequest(const CString& pool) const {
  if (pool.IsEmpty()) return "";
  for (const auto& [code, pools] : m_mapPools)
    if (pools.first == pool) return code;
  return "";
}

bool PoolNames::Load(const CString& xmlText) {
  COrbXmlReader reader;
  bool any = false;
  for (const char* code : kCodes) {
    CString req = reader.GetSpecialStr(xmlText, "message.msgpool", "req", "msgtype", code);
    CString ans = reader.GetSpecialStr(xmlText, "message.msgpool", "ans", "msgtype", code);
    any = any || !req.IsEmpty() || !ans.IsEmpty();
    Set(code, req, ans);
  }
  return any;
}

CString PoolNames::MakeXml() const {
  CString xml = "<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n<message>\r\n";
  for (const char* code : kCodes) {
    CString line;
    line.Format("  <msgpool msgtype=\"%s\"", code);
    CString req = Request(code);
    CString ans = Answer(code);
    if (!req.IsEmpty()) line += " req=\"" + EscapeAttribute(req) + "\"";
    if (!ans.IsEmpty()) line += " ans=\"" + EscapeAttribute(ans) + "\"";
    xml += line + "/>\r\n";
  }
  xml += "</message>\r\n";
  return xml;
}
