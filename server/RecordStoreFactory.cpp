#include "server/RecordStoreFactory.h"

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
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
        throw EServerError(FormatText(TranslateText("RecordStoreFactory", "Cannot open the access file %1: it is %2, "
                                                                          "not a database file."),
                                      {Path.Path, Path.NotAFile}));
    return TSqliteRecordStore::OpenFile(Schema, Path.Path);
}

}  // namespace RecordServer
