#include "messaging/PoolLookup.h"

#include <string>

#include "OrbXmlReader.h"
#include "Seams.h"
#include "support/FileUtils.h"

CString CPoolLookup::HostXmlPath() { return ReplaceExtension(Seams::GetHostExePath(), ".xml"); }

bool CPoolLookup::Load() { return LoadFile(HostXmlPath()); }

bool CPoolLookup::LoadFile(const char* path) {
  std::string text;
  // A configuration file of many megabytes is not one; refuse rather than try.
  m_bLoaded = path && *path && ReadWholeFile(path, text, 64 * 1024 * 1024);
  m_strText = m_bLoaded ? CString(text) : CString();
  return m_bLoaded;
}

CString CPoolLookup::Get(const char* direction, const char* code) const {
  if (!m_bLoaded) return CString();
  return COrbXmlReader().GetSpecialStr(m_strText, "message.msgpool", direction, "msgtype", code);
}

CString CPoolLookup::LookupHostPool(const char* direction, const char* code) {
  CPoolLookup lookup;
  lookup.Load();
  return lookup.Get(direction, code);
}
