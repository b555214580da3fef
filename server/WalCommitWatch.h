#pragma once
// Tells whether anything was committed to a database in WAL mode since the last look, without
// a read transaction. Every commit, checkpoint reset and recovery rewrites the header of the
// WAL index (the first bytes of the "-shm" file, whose layout is part of SQLite's file format:
// two copies of a 48-byte header, written second copy first), so a header equal to the one
// seen at the last look means that no commit has become visible since. A read transaction
// costs two lock calls and a file status on every operation; a look at the header costs none.
//
// States: unmapped (Region null: before the connection opened its WAL, or when the VFS maps
// none), then mapped for the connection's life. Unmapped, or with no header remembered yet,
// every look answers "may have changed".
#include <array>
#include <cstdint>

struct sqlite3;

namespace RecordServer {

class TWalCommitWatch {
public:
    static constexpr std::size_t HeaderBytes = 48;
    using THeader = std::array<unsigned char, HeaderBytes>;

    // Db must be open in WAL mode and outlive this watch.
    explicit TWalCommitWatch(sqlite3* Db = nullptr) : FDb(Db) {}

    // Reads the header. False when it is the one remembered: nothing was committed since.
    // Otherwise true, and the header read is held until Remember().
    bool MayHaveChanged();
    // The look that MayHaveChanged() called for has taken in what was committed up to the
    // header it read.
    void Remember();

private:
    // SQLite's mapping of the WAL index; null while it has none.
    const volatile unsigned char* Region();
    bool ReadHeader(THeader& Header);

    sqlite3* FDb;                                   // not owned
    const volatile unsigned char* FRegion = nullptr;  // not owned: SQLite unmaps it when the connection closes
    bool FMapFailed = false;
    THeader FSeen{}, FRead{};
    bool FHaveSeen = false, FHaveRead = false;
};

}  // namespace RecordServer
