#include "server/WalCommitWatch.h"

#include <sqlite3.h>

#include <atomic>

namespace RecordServer {

namespace {

// The WAL index's first region, in which the header lies (SQLite maps the index in 32 KiB
// regions).
constexpr int RegionBytes = 32768;

}  // namespace

const volatile unsigned char* TWalCommitWatch::Region()
{
    if (FRegion || FMapFailed || !FDb) return FRegion;
    sqlite3_file* File = nullptr;
    if (sqlite3_file_control(FDb, "main", SQLITE_FCNTL_FILE_POINTER, &File) != SQLITE_OK || !File || !File->pMethods ||
        File->pMethods->iVersion < 2 || !File->pMethods->xShmMap) {
        FMapFailed = true;
        return nullptr;
    }
    // Not extended: the region is only taken once the connection's WAL made it.
    volatile void* Mapped = nullptr;
    if (File->pMethods->xShmMap(File, 0, RegionBytes, 0, &Mapped) != SQLITE_OK) {
        FMapFailed = true;
        return nullptr;
    }
    FRegion = static_cast<const volatile unsigned char*>(Mapped);
    return FRegion;
}

bool TWalCommitWatch::ReadHeader(THeader& Header)
{
    const volatile unsigned char* Index = Region();
    if (!Index) return false;
    // The writer fills the second copy, then the first: read the other way round, equal
    // copies are a whole header.
    THeader Second;
    for (std::size_t I = 0; I < HeaderBytes; ++I) Header[I] = Index[I];
    std::atomic_thread_fence(std::memory_order_acquire);
    for (std::size_t I = 0; I < HeaderBytes; ++I) Second[I] = Index[HeaderBytes + I];
    return Header == Second;
}

bool TWalCommitWatch::MayHaveChanged()
{
    FHaveRead = ReadHeader(FRead);
    return !(FHaveRead && FHaveSeen && FRead == FSeen);
}

void TWalCommitWatch::Remember()
{
    FHaveSeen = FHaveRead;
    FSeen = FRead;
    FHaveRead = false;
}

}  // namespace RecordServer
