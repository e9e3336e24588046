#pragma once
// The records hung on the nodes of the three trees of the host panel, one
// per node (the node's item data points at it). Each tree owns its records
// and frees them when it is destroyed.
#include <windows.h>

#include <commctrl.h>

#include "CString.h"

// Counts the records alive, so that a leak or a double free of the trees'
// records shows as a wrong count.
class CTreeRecord {
 public:
  CTreeRecord() { ++s_nLive; }
  CTreeRecord(const CTreeRecord&) { ++s_nLive; }
  CTreeRecord& operator=(const CTreeRecord&) = default;
  ~CTreeRecord() { --s_nLive; }
  static int LiveCount() { return s_nLive; }

 private:
  static inline int s_nLive = 0;
};

// A tag of the chat object tree or a category of the discussion group or
// community tree: all three tag tables have this shape (NULL columns read as
// 0 and empty text).
struct tag_TagData : CTreeRecord {
  HTREEITEM hItem = nullptr;
  int id = 0;
  int tag = 0;
  CString name;
};
using tag_ChatTagData = tag_TagData;       // a row of CustChatObjectTag
using tag_GroupTagData = tag_TagData;      // a row of CustChatGroupTag
using tag_CommunityTagData = tag_TagData;  // a row of CustCommunityTag

// A chat object (row of CustChatObjectList).
struct tag_ChatItemData : CTreeRecord {
  HTREEITEM hItem = nullptr;
  HTREEITEM hTagItem = nullptr;  // its tag's node; null when the tag has none
  CString contactid;
  CString name;  // the alias when it is not blank, else the name
  int tag = 0;
  CString role;
};

// A discussion group (row of CustChatGroupList).
struct tag_GroupItemData : CTreeRecord {
  HTREEITEM hItem = nullptr;
  HTREEITEM hTagItem = nullptr;
  int groupid = 0;
  CString name;
  int tag = 0;
  CString title;
  CString members;
};

// A community (row of CustCommunity; NULL columns read as 0 and empty text).
struct tag_CommunityItemData : CTreeRecord {
  HTREEITEM hItem = nullptr;
  HTREEITEM hTagItem = nullptr;
  CString groupid;
  CString groupname;
  int tag = 0;
  CString groupdes;
  CString members;
};
