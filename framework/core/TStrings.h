#pragma once
// Lists of strings, each with an optional object pointer that the list does not own.
#include <string_view>
#include <vector>

#include "framework/core/Events.h"
#include "framework/core/TPersistent.h"

class TStrings : public TPersistent {
    DECLARE_CLASSINFO()
public:
    virtual int Count() const = 0;
    virtual AnsiString Get(int Index) const = 0;
    virtual void Put(int Index, const AnsiString& S);
    virtual TObject* GetObject(int Index) const;
    virtual void PutObject(int Index, TObject* Object);
    virtual void Insert(int Index, const AnsiString& S) = 0;
    virtual void InsertObject(int Index, const AnsiString& S, TObject* Object);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    virtual int Add(const AnsiString& S);
    virtual int AddObject(const AnsiString& S, TObject* Object);
    void AddStrings(const TStrings* Strings);
    void Append(const AnsiString& S) { Add(S); }
    void Move(int CurIndex, int NewIndex);

    AnsiString Strings(int Index) const { return Get(Index); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    virtual int IndexOf(std::string_view S) const;  // without letter case (unless CaseSensitive); -1 when absent
    int IndexOfObject(const TObject* Object) const;
    int IndexOfName(std::string_view Name) const;   // "Name=Value" lines
    AnsiString Values(std::string_view Name) const;

    // Lines joined with line breaks (each line ends with one); setting splits at CR, LF or CRLF.
    AnsiString Text() const;
    void SetText(std::string_view Value);

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // From another TStrings: inside one update bracket, clear and copy strings and objects.
    void Assign(TPersistent* Source) override;
    bool Equals(const TStrings* Other) const;

    // Streaming: the lines as one list value ("Lines.Strings = ( ... )").
    std::vector<AnsiString> GetLines() const;
    void SetLines(const std::vector<AnsiString>& Lines);

protected:
    virtual void SetUpdateState(bool Updating);
    // Raises EStringListError with Template (translated) and Index for its %1.
    [[noreturn]] void Error(const AnsiString& Template, int Index) const;

private:
    int FUpdateCount = 0;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
    DECLARE_CLASSINFO()
public:
    TStringList() = default;
    ~TStringList() override;

    int Count() const override { return static_cast<int>(FList.size()); }
    AnsiString Get(int Index) const override;
    void Put(int Index, const AnsiString& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* Object) override;
    void Insert(int Index, const AnsiString& S) override;
    void InsertObject(int Index, const AnsiString& S, TObject* Object) override;
    void Delete(int Index) override;
    void Clear() override;
    int AddObject(const AnsiString& S, TObject* Object) override;
    int IndexOf(std::string_view S) const override;

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);
    void Sort();
    // Binary search in a sorted list: true when found; Index is where S is or would go.
    bool Find(std::string_view S, int& Index) const;

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool Updating) override;

private:
    struct Item {
        AnsiString S;
        TObject* Object;  // not owned
    };
    int Compare(std::string_view A, std::string_view B) const;
    void CheckIndex(int Index, bool AllowEnd = false) const;
    void Changing();
    void Changed();
    void InsertItem(int Index, const AnsiString& S, TObject* Object);

    std::vector<Item> FList;
    bool FSorted = false;
    bool FCaseSensitive = false;
    TDuplicates FDuplicates = dupIgnore;
};
