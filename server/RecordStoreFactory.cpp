#include "server/RecordStoreFactory.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "framework/core/TextUtils.h"
#include "server/DataPath.h"
#include "server/PostgresRecordStore.h"
#include "server/ServerError.h"
#include "server/SqliteDb.h"
#include "server/SqliteRecordStore.h"

namespace RecordServer {

std::unique_ptr<TRecordStore> OpenRecordStore(const TTableSchema& Schema, const AnsiString& AccessFile,
                                              const AnsiString& CanonicalSchemaPath)
{
    if (Trim(AccessFile).empty()) return OpenMemoryStore(Schema, CanonicalSchemaPath);
    if (IsPostgresUri(Trim(AccessFile))) return OpenPostgresStore(Schema, Trim(AccessFile));
    TDataPath Path = ResolveDataPath(AccessFile);
    if (!Path.NotAFile.empty())
        throw EServerError("Cannot open the access file " + Path.Path + ": it is " + Path.NotAFile +
                           ", not a database file.");
    try {
        return OpenFileStore(Schema, Path.Path);
    } catch (const ESqliteError& E) {
        // The table's journal (the -wal and -shm files) is made beside the database file.
        AnsiString Folder = std::filesystem::path(Path.Path).parent_path().string();
        if (access(Folder.c_str(), W_OK) != 0 && errno == EACCES)
            throw EServerError("Cannot open the access file " + Path.Path + ": the folder " + Folder +
                               " must be writable, for the table's journal beside the file (" + E.Message() + ").");
        throw EServerError("Cannot open the access file " + Path.Path + ": " + E.Message());
    }
}

}  // namespace RecordServer
