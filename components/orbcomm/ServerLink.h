#pragma once
// The link between one session object and the server. Both hold it; the
// server marks it dead when another session of the same user takes over or
// when the server goes, so the session never calls a server that is gone.
#include <atomic>

#include "CString.h"

struct ServerLink {
  std::atomic<bool> alive{true};
  CString memberKey;  // the user's mailbox key (lower-case member id)
  CString sessionId;
};
