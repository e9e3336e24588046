#pragma once
// A member list as the server keeps it: member ids in their given order, each
// once (member ids compare without regard to case), written back joined by ","
// without blanks.
#include <vector>

#include "CString.h"

class MemberList {
 public:
  MemberList() = default;
  // Parts are trimmed; empty parts and repeats are left out.
  explicit MemberList(const CString& text);

  bool Contains(const CString& memberId) const;
  // Appends when not there yet; false when it was there.
  bool Add(const CString& memberId);
  void PutFirst(const CString& memberId);
  bool IsEmpty() const { return m_arrIds.empty(); }
  int GetCount() const { return static_cast<int>(m_arrIds.size()); }
  const std::vector<CString>& Ids() const { return m_arrIds; }
  CString Text() const;

  // The key a member id is filed under: lower case.
  static CString KeyOf(const CString& memberId);

 private:
  std::vector<CString> m_arrIds;
};
