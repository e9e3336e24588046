#pragma once
// The rules that keep the local chat database's values consistent, shared by
// the trees, their dialogs and the chat manager: the members text of groups
// and communities, and how tag and category names compare.
#include <vector>

#include "CString.h"

// The ids of a members text ("a,b,c"); a trailing "," and empty pieces are
// accepted and skipped.
std::vector<CString> SplitMembers(const char* members);
// The ids joined with "," (no blanks, none before the first or after the last).
CString JoinMembers(const std::vector<CString>& ids);
// True when contactId equals one of the pieces (so 12 is not a member of
// "112,3").
bool IsMember(const char* members, const char* contactId);

// Tag and category names compare trimmed and without regard to case.
bool SameTagName(const char* a, const char* b);
