#pragma once
// The live view's side of the server object: how a dataset learns, without asking, that
// another session committed to its table, and takes those commits in between its own
// operations. The server object implements it beside IFileDataSet; a dataset finds it with
// QueryInterface (a server without it offers no live view).
//
// The server has no event loop of its own. It hands out a file descriptor that becomes
// readable when another session may have committed to the open table (another dataset of this
// program on a memory table, another process on a table file, another machine on PostgreSQL),
// and the caller watches it in its own loop. A readable descriptor only says "look": the look,
// TakeOthersCommits, answers whether anything was taken in.
//
// Like the first five operations of IFileDataSet these are native calls: the server runs in
// the caller's process and on the caller's thread. Failures answer a failing HRESULT with this
// thread's error info set, as IFileDataSet's operations do.
#include "com/Guid.h"
#include "com/Unknown.h"

inline constexpr IID IID_IFileDataSetWatch = MakeGUID("{CE5C3926-9408-4B0E-A916-5791A2176964}");

class IFileDataSetWatch : public IUnknown {
public:
    static constexpr IID InterfaceId = IID_IFileDataSetWatch;

    // *Descriptor: the descriptor to watch for reading; -1 when there is none (the table is
    // closed, or the connection to its server was lost, until an operation connects again).
    // It belongs to the server object and may change whenever the table opens or closes or
    // its connection is made again, so the caller asks again after each of its operations.
    // The first call makes it: a dataset that never asks costs nothing.
    virtual HRESULT GetCommitDescriptor(int* Descriptor) = 0;
    // Takes what made the descriptor readable, so that it stays quiet until the next commit.
    // When TakeIn is true and the table is open in "Browse", also takes the other sessions'
    // commits into the view, as the first step of every operation does: the cursor stays on
    // its record (a record deleted under it leaves it on the record now at its place), and
    // the record under the cursor counts as read now, since the caller shows it (an edit of
    // it is not refused as changed by another user). RecNos holds Count record numbers to
    // follow: each is rewritten with where its record is now, -1 when it left the view.
    // *Changed tells whether any commit was taken in; only then are the RecNos rewritten.
    // Otherwise (TakeIn false, or a record pending) the commits wait for the next operation.
    virtual HRESULT TakeOthersCommits(bool TakeIn, int* RecNos, int Count, bool* Changed) = 0;
    // While Hold is true the table's operations take no other sessions' commits in: the caller
    // shows what TakeOthersCommits took in, in that one state and without a look at the
    // storage per question (a round trip each on PostgreSQL). The caller holds only while it
    // shows, and always lets go; the next operation after that takes in what came meanwhile.
    virtual HRESULT HoldCommits(bool Hold) = 0;

protected:
    ~IFileDataSetWatch() override = default;
};
