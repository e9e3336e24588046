#pragma once
// What a COrbLocalServer holds; shared with the session object, which talks to
// the server's core directly.
#include "COrbLocalServer.h"
#include "ChatServerCore.h"

struct COrbLocalServer::Impl {
  ChatServerCore core;
};
