#pragma once
// What the message store gives back: one stored record with its row id and
// when it was stored, and one line of the thread list.
#include "CString.h"
#include "InfoMsgStructer.h"

struct InfoStoredMsg {
  long long m_nId = 0;         // row id; larger is newer
  long long m_nStoredAt = 0;   // milliseconds since 1970-01-01 UTC
  CString m_strStoredAt;       // the same in local time, "YYYY-MM-DD HH:MM:SS"
  InfoMsgStructer m_msg;
};

struct InfoThreadSummary {
  CString m_strThreadId;
  CString m_strMembers;        // thread_members of the newest record
  CString m_strNames;          // the senders' names, first come first, joined by "、"
  CString m_strTitle;          // the newest non-empty title
  CString m_strLastStoredAt;   // local time of the newest record
  long long m_nLastStoredAt = 0;
  long long m_nLastId = 0;
  int m_nCount = 0;
};
