#pragma once
// The interface unit of the record-storage server: the type library's identities, the
// IFileDataSet interface through which the components reach the records, the creator
// class CoFileDataSet, and the DB methods that a dataset hands to the server.
//
// IFileDataSet follows the IDispatch slots. Its first five operations are native calls
// (the server runs in the caller's process and calls back on the caller's thread); every
// other operation answers an HRESULT, takes OLE variants by value and returns values through
// its trailing OleVariant*. A failing operation sets this thread's error info with a message
// saying what is wrong (OleCheck turns it into an EOleException carrying that message).
#include "com/Guid.h"
#include "com/Unknown.h"
#include "interface/DbMethods.h"

// The notifications that the server sends back into the program.
using TAfterRecDataSetDataChangeEvent = TMethodPtr<void()>;

inline constexpr GUID LIBID_Ostrel = MakeGUID("{A5D51877-AC11-4D56-83CE-0A5CF9A01B72}");
inline constexpr IID IID_IFileDataSet = MakeGUID("{D7F609B5-430E-4549-89A9-0B3AEE73E276}");
inline constexpr CLSID CLASS_FileDataSet = MakeGUID("{CE3E6D9E-10B5-46A7-BC74-9893E0426366}");

class IFileDataSet : public IDispatch {
public:
    static constexpr IID InterfaceId = IID_IFileDataSet;

    virtual void SetOnAfterDataChange(TAfterRecDataSetDataChangeEvent Handler) = 0;
    virtual void SetOnInitDataControlData(TAfterRecDataSetDataChangeEvent Handler) = 0;
    virtual void SetOnAfterDBStateChange(TAfterRecDataSetDataChangeEvent Handler) = 0;
    virtual void SetOnAfterFilterChange(TAfterRecDataSetDataChangeEvent Handler) = 0;
    virtual void SetDBMethods(TDbMethods* Methods) = 0;
    virtual HRESULT Open(OleVariant* Result) = 0;
    virtual HRESULT Close() = 0;
    virtual HRESULT GetAccessUser(OleVariant* User) = 0;
    virtual HRESULT SetAccessUser(OleVariant User) = 0;
    virtual HRESULT SetAccessFile(OleVariant FileName) = 0;
    virtual HRESULT GetBof(OleVariant* Value) = 0;
    virtual HRESULT GetEof(OleVariant* Value) = 0;
    virtual HRESULT GetIsEmpty(OleVariant* Value) = 0;
    virtual HRESULT GetRecordCount(OleVariant* Value) = 0;
    virtual HRESULT GetFieldCount(OleVariant* Value) = 0;
    virtual HRESULT First() = 0;
    virtual HRESULT Prior() = 0;
    virtual HRESULT Next() = 0;
    virtual HRESULT Last() = 0;
    virtual HRESULT Insert() = 0;
    virtual HRESULT Edit() = 0;
    virtual HRESULT Delete() = 0;
    virtual HRESULT Post(OleVariant* Result) = 0;
    virtual HRESULT GetState(OleVariant* State) = 0;
    virtual HRESULT GetFieldName(OleVariant Index, OleVariant* Name) = 0;
    virtual HRESULT GetFieldValue(OleVariant Name, OleVariant* Value) = 0;
    virtual HRESULT SetFieldValue(OleVariant Name, OleVariant Value) = 0;
    virtual HRESULT GetActive(OleVariant* Value) = 0;
    virtual HRESULT GetRepeatCount(OleVariant* Value) = 0;
    virtual HRESULT GetFiltered(OleVariant* Value) = 0;
    virtual HRESULT SetFiltered(OleVariant Value) = 0;
    virtual HRESULT IsKeyField(OleVariant Name, OleVariant* Value) = 0;
    virtual HRESULT Cancel() = 0;
    virtual HRESULT GetRecNo(OleVariant* Value) = 0;
    virtual HRESULT SetRecNo(OleVariant Value) = 0;
    virtual HRESULT MoveNext(OleVariant* Result) = 0;
    virtual HRESULT MovePrior(OleVariant* Result) = 0;
    virtual HRESULT MoveTo(OleVariant RecNo) = 0;
    virtual HRESULT ClearFilterCommand() = 0;
    virtual HRESULT GetFieldSize(OleVariant Name, OleVariant* Value) = 0;
    virtual HRESULT SetExplorerFile(OleVariant FileName) = 0;
    virtual HRESULT AddFilterCommand(OleVariant Line, OleVariant* Result) = 0;
    virtual HRESULT SetStartOptionA(OleVariant Value) = 0;
    virtual HRESULT SetStartOptionB(OleVariant Value) = 0;
    virtual HRESULT RepeatStep() = 0;
    virtual HRESULT GetDataReadOnly(OleVariant* Value) = 0;
    virtual HRESULT SetDataReadOnly(OleVariant Value) = 0;
    virtual HRESULT GetRecordChangedByOther(OleVariant* Value) = 0;
    virtual HRESULT SetSchemaFileName(OleVariant FileName) = 0;
    // Added after the operations above, which keep their slots: the type of the field named
    // Name as its schema writes it ("Text", "Number", "Integer", "Decimal(2)", "Date",
    // "Boolean"); empty text for an empty or all-blank name.
    virtual HRESULT GetFieldType(OleVariant Name, OleVariant* Value) = 0;
};

// Creates server objects of the class CLASS_FileDataSet (which the application registers,
// see server/RegisterFileDataSetServer.h). Both raise EOleException on failure; when the
// program has not registered the server, its message says to call RegisterFileDataSetServer().
class CoFileDataSet {
public:
    static TComInterface<IFileDataSet> Create();
    // There are no remote machines here: an empty name or a name of this machine
    // ("localhost", ".", 127.0.0.1, ::1 or its host name) creates the object in process,
    // any other name fails with a message saying so.
    static TComInterface<IFileDataSet> CreateRemote(const AnsiString& MachineName);
};
