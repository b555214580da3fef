#include "interface/Ostrel_TLB.h"

#include <unistd.h>

#include "com/ComObj.h"
#include "com/ErrorInfo.h"
#include "com/OleCheck.h"
#include "framework/core/TextUtils.h"

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
    return CreateComObject<IFileDataSet>(CLASS_FileDataSet);
}

TComInterface<IFileDataSet> CoFileDataSet::CreateRemote(const AnsiString& MachineName)
{
    AnsiString Name = Trim(MachineName);
    if (!IsThisMachine(Name))
        OleCheck(ReportError(E_FAIL,
                             "Cannot create the record-storage server on machine " + Name +
                                 ": servers run only on this machine.",
                             "Ostrel"));
    return Create();
}
