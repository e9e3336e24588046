#pragma once
// The rules that keep the local chat database's values consistent, shared by
// the trees, their dialogs and the chat manager: the members text of groups
// and communities, and the allocation of tag, category and group numbers.
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

// Adds a tag (table "CustChatObjectTag") or a category ("CustChatGroupTag")
// named name unless one of that name exists. The new number is one more than
// the highest in use, 1 in an empty table. Returns 1 when a row was appended,
// 0 when the name exists, -1 when the database, the table or the name (blank)
// is unusable; number is the new or the existing row's number.
int AddTag(const char* dbPath, const char* table, const char* name, int& number);

// Appends a discussion group with the next free group number (one more than
// the highest, 1 for the first). Returns that number, 0 on failure.
int AppendGroup(const char* dbPath, const char* name, int tag, const char* title, const char* members);
