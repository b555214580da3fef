#pragma once
// The key-order summary: what lets a session learn a table's size and the record number each
// part of it starts at without reading every record.
//
// Beside each table every store keeps a summary of the table's order, zfd_blk_<table>: the
// records, in key order, cut into blocks of consecutive records, one row per block with its
// bound (the key its records start at, or the id for a table without a key; block 0 has none
// and starts before every key) and n, the number of records in it. TRecordStore::ReadSummary
// hands the blocks over, in order, in one snapshot.
//
// Writing. The summary is written in each write's own transaction, by triggers on the table
// (SQLite: row triggers, SqliteKeySummary.cpp; PostgreSQL: statement triggers with the rows the
// statement changed, PostgresTableSetup.cpp), so that every writer keeps it: the server's
// sessions, a writer of an older version of the server, a plain SQL client, and a plain SQLite
// connection that has the server's SQL functions (the key index needs them to write at all):
//   insert          the block whose bound is the last at or before the new key counts one more,
//                   and block 0's top becomes the new id when that is higher
//   delete          the old key's block counts one less; a block left empty goes (block 0 stays)
//   key updated     both
//   TRUNCATE        (PostgreSQL) block 0 alone is left, empty
// A block that reaches SplitRows records is split: the record BlockRows places into it becomes
// the bound of a new block, which takes the records from it on. So no block holds SplitRows
// records or more; blocks are not merged, so deletes may leave small ones (an empty one goes),
// and the summary has about one row per BlockRows records as made, more after many deletes.
//
// Invariants (as every commit leaves them):
//   1. Block 0 exists and has no bound; every other block has one, and no two the same.
//   2. A block's n is the number of records whose key is at or after its bound and before the
//      next bound (in the table's order, KeyOrder.h): the counts add up to the table's records.
//   3. Every n is below SplitRows; only block 0 may count no record.
//   4. Block 0's top is at least the id of every record of the table (ids only grow, and every
//      insert through the triggers raises top to its id).
//
// Failure cases:
//   - A crash in the middle of a write: the summary is written in the write's transaction and
//     commits or rolls back with it (SQLite's journal, PostgreSQL's log); nothing to mend.
//   - A writer of an older version: the triggers belong to the table and fire for it too; its
//     setup drops only triggers and indexes of the names it makes itself (zfd_log..., zfd_key_...).
//   - A plain SQLite connection (the sqlite3 shell with the server's extension loaded): the
//     triggers fire for it as for the server. Without the functions it cannot write the table
//     at all (the key index calls them too).
//   - A table made before the summary existed, or a writer that went around the triggers (one
//     that dropped them, as a bulk load may): found when a store opens the table, by a trigger
//     that is missing or a record whose id is above top (an insert that was not counted); the
//     opening then makes the summary again from the table (one pass in key order), in its
//     setup transaction, with the other writers kept out.
//   - A key or block size of another definition: the triggers' names (SQLite) or their bodies
//     (PostgreSQL) change with what they run, so an opening with another key finds them missing
//     or different and makes the table of blocks, its index and its triggers again.
//   - Memory tables have the same table and triggers, in the memory database.
#include <cstdint>

namespace RecordServer {

// A block is split when it reaches SplitRows records, in one of BlockRows and one of the rest;
// a summary made again from the table has blocks of BlockRows records.
constexpr std::int64_t BlockRows = 1024;
constexpr std::int64_t SplitRows = 2 * BlockRows;

}  // namespace RecordServer
