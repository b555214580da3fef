#include "interface/Ostrel_TLB.h"

#include <unistd.h>

#include "com/ComObj.h"
#include "com/ErrorInfo.h"
#include "com/OleCheck.h"
#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"

namespace {

bool IsThisMachine(const AnsiString& Name)
{
    if (Name.empty() || Name == "." || SameText(Name, "localhost") || Name == "127.0.0.1" || Name == "::1") return true;
    char Host[256] = {};
    if (gethostname(Host, sizeof(Host) - 1) != 0) return false;
    return SameText(Name, Host);
}

}  // namespace

TComInterface<IFileDataSet> CoFileDataSet::Create()
{
    try {
        return CreateComObject<IFileDataSet>(CLASS_FileDataSet);
    } catch (const EOleException& E) {
        // The one registration every program makes at start is the one it forgets: say which.
        if (E.ErrorCode() != REGDB_E_CLASSNOTREG) throw;
        throw EOleException(FormatText(TranslateText("CoFileDataSet",
                                                      "%1: the record-storage server is not registered in this "
                                                      "program. Call RegisterFileDataSetServer() "
                                                      "(server/RegisterFileDataSetServer.h, component recordserver) "
                                                      "once at start, before the first dataset is created."),
                                        {E.Message()}),
                            E.ErrorCode(), "Ostrel");
    }
}

TComInterface<IFileDataSet> CoFileDataSet::CreateRemote(const AnsiString& MachineName)
{
    AnsiString Name = Trim(MachineName);
    if (!IsThisMachine(Name))
        OleCheck(ReportError(E_FAIL,
                             FormatText(TranslateText("CoFileDataSet", "Cannot create the record-storage server on "
                                                                       "machine %1: servers run only on this machine."),
                                        {Name}),
                             "Ostrel"));
    return Create();
}
