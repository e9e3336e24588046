#include "MessageMap.h"

namespace MsgMap {

namespace {

bool Matches(const Entry& entry, Kind kind, UINT message, UINT code, UINT id) {
  if (entry.kind != kind) return false;
  switch (kind) {
    case Kind::Message:
      return entry.message == message;
    case Kind::CtlColor:
      return true;
    case Kind::Command:
    case Kind::Notify:
      return entry.code == code && entry.id == id;
    case Kind::ReflectCommand:
    case Kind::ReflectNotify:
      return entry.code == code;
    case Kind::End:
      return false;
  }
  return false;
}

}  // namespace

const Entry* Find(const Table* table, Kind kind, UINT message, UINT code, UINT id) {
  for (; table; table = table->base ? table->base() : nullptr) {
    for (std::size_t i = 0; i < table->count; ++i) {
      if (Matches(table->entries[i], kind, message, code, id)) return &table->entries[i];
    }
  }
  return nullptr;
}

}  // namespace MsgMap
