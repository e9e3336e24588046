#pragma once
// The entries of a conversation's members pane, computed without a window:
// one per non-empty member id of a members text, with the name to show and
// the skin icon of the member's role.
#include <functional>
#include <vector>

#include "CString.h"

// The display name the chat manager knows for a member id; "" when it knows
// none (the pane then shows the masked id).
using DisplayNameFn = std::function<CString(const CString& memberId)>;

struct MemberEntry {
  CString name;  // display name, or the masked id
  CString icon;  // "tree2.role." followed by the role code
};

// list: member ids separated by ","; blanks around an id are ignored and
// empty parts add no entry. The role is the id's first character when it is
// one of roleCodes, defaultRole otherwise.
std::vector<MemberEntry> MemberEntries(const CString& list, const CString& roleCodes, const CString& defaultRole,
                                       const DisplayNameFn& displayName);
