#pragma once
// The message map: a table per window class with one entry per window
// message, command id or control notification, chained to the table of the
// base class. A window looks an incoming message up in its own table first,
// then in its base class's, and so on; the first entry that matches handles it.
//
// An entry holds a plain function (a "thunk") generated for the handler: it
// turns the message's parameters into the handler's typed arguments and calls
// the member function on the window object, whose class is known when the
// table is written. No member-function pointer is ever converted to another
// type. The macros that write the tables are in MessageMapEntries.h.
#include <windows.h>

#include <cstddef>

#include "FrameworkApi.h"

class CWnd;

namespace MsgMap {

enum class Kind : unsigned char {
  End,             // terminator of a table, never matches
  Message,         // one window message
  CtlColor,        // any of the WM_CTLCOLOR* messages
  Command,         // WM_COMMAND from a menu, an accelerator or a control (id, notification code)
  Notify,          // WM_NOTIFY from a control (id, notification code)
  ReflectCommand,  // a control's own WM_COMMAND notification, reflected by its parent
  ReflectNotify,   // a control's own WM_NOTIFY notification, reflected by its parent
};

// One message as it arrived.
struct Call {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// Calls the handler on the window object and returns the message's result.
using Thunk = LRESULT (*)(CWnd& self, const Call& call);

struct Entry {
  Kind kind;
  UINT message;  // for Kind::Message
  UINT code;     // notification code for commands and notifications
  UINT id;       // control or command id
  Thunk thunk;
};

struct Table {
  const Table* (*base)();  // the base class's table; nullptr at the root
  const Entry* entries;
  std::size_t count;
};

// The first entry of the chain starting at table that matches; nullptr if none.
ORBFW_API const Entry* Find(const Table* table, Kind kind, UINT message, UINT code, UINT id);

constexpr Entry End() { return Entry{Kind::End, 0, 0, 0, nullptr}; }

}  // namespace MsgMap

// In a class declaration: the class has its own message map.
#define DECLARE_MESSAGE_MAP()                            \
 protected:                                              \
  static const ::MsgMap::Table* GetThisMessageMap();     \
  const ::MsgMap::Table* GetMessageMap() const override;
