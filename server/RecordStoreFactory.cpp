#include "server/RecordStoreFactory.h"

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
    try {
        return OpenFileStore(Schema, Path.Path);
    } catch (const ESqliteError& E) {
        throw EServerError("Cannot open the access file " + Path.Path + ": " + E.Message());
    }
}

}  // namespace RecordServer
