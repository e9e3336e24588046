#include "form/MemberEntries.h"

#include "form/ViewHtml.h"
#include "support/ChatDbRules.h"

std::vector<MemberEntry> MemberEntries(const CString& list, const CString& roleCodes, const CString& defaultRole,
                                       const DisplayNameFn& displayName) {
  std::vector<MemberEntry> entries;
  for (CString id : SplitMembers(list)) {
    id.Trim();
    if (id.IsEmpty()) continue;
    CString role(id.Left(1));
    if (roleCodes.Find(role) < 0) role = defaultRole;
    MemberEntry entry;
    entry.icon = "tree2.role." + role;
    if (displayName) entry.name = displayName(id);
    if (entry.name.IsEmpty()) entry.name = MaskMemberId(id);
    entries.push_back(entry);
  }
  return entries;
}
