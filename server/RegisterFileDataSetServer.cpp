#include "server/RegisterFileDataSetServer.h"

#include "com/ComObj.h"
#include "server/FileDataSetServer.h"
#include "server/MemoryTables.h"

void RegisterFileDataSetServer()
{
    RegisterComClass(CLASS_FileDataSet, []() -> IUnknown* {
        IFileDataSet* Server = new RecordServer::TFileDataSetServer;
        return Server;
    });
}

void DropAllMemoryTables()
{
    RecordServer::DropAllMemoryDatabases();
}
