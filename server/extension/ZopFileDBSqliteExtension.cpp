// The SQLite extension's entry point. In the sqlite3 shell:
//   .load /usr/lib/x86_64-linux-gnu/zopfiledb/zopfiledb_sqlite
//   PRAGMA integrity_check;
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

#include "server/SqliteKeyFunctions.h"

extern "C" __attribute__((visibility("default"))) int sqlite3_zopfiledbsqlite_init(sqlite3* Db, char** Error,
                                                                                   const sqlite3_api_routines* Api)
{
    SQLITE_EXTENSION_INIT2(Api);
    int Result = RecordServer::RegisterKeyFunctions(Db);
    // English by design: the extension runs inside programs such as the sqlite3 shell, which
    // have no translations of ours, and SQLite's own part of the message (sqlite3_errstr) is
    // English too.
    if (Result != SQLITE_OK && Error)
        *Error = sqlite3_mprintf("zopfiledb_sqlite: the key functions could not be registered (%s)", sqlite3_errstr(Result));
    return Result;
}
