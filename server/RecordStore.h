#pragma once
// The storage seam of the server: everything a session needs from the place where records
// live, for one table. The server stores in SQLite (SqliteRecordStore); a client/server
// database for many users on many machines would be another implementation of this class.
//
// Records are identified by ids that are never reused, and carry a version that each write
// raises, so that a session can tell whether a record changed since it read it and so that
// a write based on an old reading is refused instead of overwriting another session's change.
#include <cstdint>
#include <optional>
#include <vector>

#include "framework/core/Exceptions.h"
#include "server/FilterCommand.h"

namespace RecordServer {

struct TStoredRecord {
    std::int64_t Id = 0;
    std::int64_t Version = 0;
    std::vector<AnsiString> Values;  // in the schema's field order
};

enum class TWriteResult {
    Done,
    Changed,       // the record changed or disappeared since the version given was read
    DuplicateKey,  // another record has the same key
};

class TRecordStore {
public:
    virtual ~TRecordStore() = default;

    // True when another session or process committed a change since the last call (or
    // since the store was opened).
    virtual bool ChangedByOthers() = 0;
    // Sets the filter that ReadOrderedIds and PassesFilter apply (empty: every record).
    // Raises EServerError when a condition names a field the table does not have.
    virtual void SetFilter(const std::vector<TFilterCondition>& Conditions) = 0;
    // The ids of the records that pass the filter, ordered by the key fields (numbers
    // numerically), then by insertion.
    virtual std::vector<std::int64_t> ReadOrderedIds() = 0;
    virtual bool PassesFilter(std::int64_t Id) = 0;
    // True when record A comes before record B in the order of ReadOrderedIds; nullopt when
    // either no longer exists.
    virtual std::optional<bool> ComesBefore(std::int64_t A, std::int64_t B) = 0;

    // False when there is no such record.
    virtual bool Read(std::int64_t Id, TStoredRecord& Record) = 0;
    virtual std::optional<std::int64_t> ReadVersion(std::int64_t Id) = 0;

    // Each write is one transaction. A key that another record has refuses the write
    // (DuplicateKey). Insert fills Record's id and version on success.
    virtual TWriteResult Insert(const std::vector<AnsiString>& Values, TStoredRecord& Record) = 0;
    // Writes Values over the record if it still has Version; the new version on success.
    virtual TWriteResult Update(std::int64_t Id, std::int64_t Version, const std::vector<AnsiString>& Values,
                                std::int64_t& NewVersion) = 0;
    virtual TWriteResult Delete(std::int64_t Id, std::int64_t Version) = 0;
};

}  // namespace RecordServer
