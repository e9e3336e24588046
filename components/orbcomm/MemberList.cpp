#include "MemberList.h"

MemberList::MemberList(const CString& text) {
  int start = 0;
  while (start >= 0 && start <= text.GetLength()) {
    int comma = text.Find(',', start);
    CString part = comma < 0 ? text.Mid(start) : text.Mid(start, comma - start);
    part.Trim();
    if (!part.IsEmpty()) Add(part);
    if (comma < 0) break;
    start = comma + 1;
  }
}

bool MemberList::Contains(const CString& memberId) const {
  for (const CString& id : m_arrIds) {
    if (id.CompareNoCase(memberId) == 0) return true;
  }
  return false;
}

bool MemberList::Add(const CString& memberId) {
  if (memberId.IsEmpty() || Contains(memberId)) return false;
  m_arrIds.push_back(memberId);
  return true;
}

void MemberList::PutFirst(const CString& memberId) {
  if (memberId.IsEmpty() || Contains(memberId)) return;
  m_arrIds.insert(m_arrIds.begin(), memberId);
}

CString MemberList::Text() const {
  CString text;
  for (const CString& id : m_arrIds) {
    if (!text.IsEmpty()) text += ',';
    text += id;
  }
  return text;
}

CString MemberList::KeyOf(const CString& memberId) {
  CString key = memberId;
  key.MakeLower();
  return key;
}
