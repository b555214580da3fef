#pragma once
// A store for the units above the storage seam: the records in the order it is given (it
// trusts that order, as a session trusts its store's), every record's key its first field,
// no change log, and a count of the statements a real store would run for each call.
#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "server/KeySummary.h"
#include "server/RecordStore.h"

class TListStore : public RecordServer::TRecordStore {
public:
    std::vector<RecordServer::TStoredRecord> Records;  // in the store's order
    int Reads = 0, Pages = 0, Ranges = 0;               // Read, ReadPage and ReadRange calls

    // Records with ids 1..Count and keys "1".."Count" in their first field, a second field "v<id>".
    static TListStore Numbered(int Count)
    {
        TListStore Store;
        for (int Id = 1; Id <= Count; ++Id)
            Store.Records.push_back({Id, 1, {std::to_string(Id), "v" + std::to_string(Id)}});
        return Store;
    }

    RecordServer::TChangesSeen ReadChanges(std::vector<RecordServer::TChange>& Changes, RecordServer::TLook) override
    {
        Changes.clear();
        return RecordServer::TChangesSeen::None;
    }
    void FinishChanges() override {}
    void SetFilter(const std::vector<RecordServer::TFilterCondition>&) override {}
    void ReadOrderedIds(int KeyEvery, const TOrderedIdSink& Sink) override
    {
        for (std::size_t N = 0; N < Records.size(); ++N) {
            std::vector<AnsiString> Key{Records[N].Values[0]};
            bool Keyed = (KeyEvery > 0 && N % static_cast<std::size_t>(KeyEvery) == 0) || N + 1 == Records.size();
            Sink(Records[N].Id, Keyed ? &Key : nullptr);
        }
    }
    // Blocks of BlockRows records, as a summary made again from the table has them.
    void ReadSummary(const TSummarySink& Sink) override
    {
        RecordServer::TSummaryBlock Block;
        for (std::size_t N = 0; N < Records.size(); N += RecordServer::BlockRows) {
            if (N) Block.Bound = RecordServer::TRecordKey{{Records[N].Values[0]}, Records[N].Id};
            Block.Count = std::min<std::int64_t>(RecordServer::BlockRows, static_cast<std::int64_t>(Records.size() - N));
            Sink(Block);
        }
        if (Records.empty()) Sink(Block);
    }
    // Keys compare as numbers, as Numbered makes them; the records in between in the store's order.
    void ReadRange(const RecordServer::TRecordKey* From, const RecordServer::TRecordKey* To, const TRangeSink& Sink) override
    {
        ++Ranges;
        auto Number = [](const AnsiString& Text) { return std::stoll(Text); };
        for (const RecordServer::TStoredRecord& Record : Records) {
            long long Key = Number(Record.Values[0]);
            if (From && Key < Number(From->Values[0])) continue;
            if (To && Key >= Number(To->Values[0])) continue;
            Sink(RecordServer::TRecordKey{{Record.Values[0]}, Record.Id});
        }
    }
    bool PassesFilter(std::int64_t Id) override { return Find(Id) != Records.end(); }
    bool Read(std::int64_t Id, RecordServer::TStoredRecord& Record) override
    {
        ++Reads;
        auto It = Find(Id);
        if (It == Records.end()) return false;
        Record = *It;
        return true;
    }
    void ReadPage(std::int64_t FromId, int Count, std::vector<RecordServer::TStoredRecord>& Page) override
    {
        ++Pages;
        Page.clear();
        for (auto It = Find(FromId); It != Records.end() && static_cast<int>(Page.size()) < Count; ++It) Page.push_back(*It);
    }
    std::optional<std::int64_t> ReadVersion(std::int64_t Id) override
    {
        auto It = Find(Id);
        if (It == Records.end()) return std::nullopt;
        return It->Version;
    }
    RecordServer::TWriteResult Insert(const std::vector<AnsiString>&, RecordServer::TStoredRecord&) override
    {
        throw std::logic_error("not used");
    }
    RecordServer::TWriteResult Update(std::int64_t, std::int64_t, const std::vector<AnsiString>&, std::int64_t&) override
    {
        throw std::logic_error("not used");
    }
    RecordServer::TWriteResult Delete(std::int64_t, std::int64_t) override { throw std::logic_error("not used"); }

private:
    std::vector<RecordServer::TStoredRecord>::iterator Find(std::int64_t Id)
    {
        return std::find_if(Records.begin(), Records.end(), [&](const RecordServer::TStoredRecord& R) { return R.Id == Id; });
    }
    std::ptrdiff_t Index(std::int64_t Id) { return Find(Id) - Records.begin(); }
};
