#pragma once
// The user's local chat database: the profile code makes sure it exists at
// login, before the chat module opens it.
#include "OrbADOApi.h"

// Creates the database file at path (ANSI, code page 936) with its seven
// tables and the indexes the lookups by contact id and group id use, when no
// file is there. An existing file is never changed. True when the file is
// there afterwards and is a chat database (all seven tables present); false
// when it could not be made (missing folder, no rights) or when an existing
// file is not a chat database. A failed creation leaves no file behind. The
// file is built as "<path>.<process id>.new" and moved into place when
// complete; such files (and their journals) left by processes that were
// killed meanwhile and have ended are removed by the next call.
ORBADO_API bool CreateChatDatabase(const char* path);

// True when the file at path opens as a database that holds the seven tables.
// Opens it read-only; the file is not changed.
ORBADO_API bool IsChatDatabase(const char* path);
