#include "server/RecordStoreFactory.h"

#include "framework/core/TextUtils.h"
#include "server/DataPath.h"
#include "server/PostgresRecordStore.h"
#include "server/ServerError.h"
#include "server/SqliteRecordStore.h"

namespace RecordServer {

std::unique_ptr<TRecordStore> OpenRecordStore(const TTableSchema& Schema, const AnsiString& AccessFile,
                                              const AnsiString& CanonicalSchemaPath)
{
    if (Trim(AccessFile).empty()) return TSqliteRecordStore::OpenMemory(Schema, CanonicalSchemaPath);
    if (IsPostgresUri(Trim(AccessFile))) return TPostgresRecordStore::Open(Schema, Trim(AccessFile));
    TDataPath Path = ResolveDataPath(AccessFile);
    if (!Path.NotAFile.empty())
        throw EServerError("Cannot open the access file " + Path.Path + ": it is " + Path.NotAFile +
                           ", not a database file.");
    return TSqliteRecordStore::OpenFile(Schema, Path.Path);
}

}  // namespace RecordServer
