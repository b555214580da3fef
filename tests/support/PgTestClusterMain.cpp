// Starts or stops the PostgreSQL server that the tests of one CTest run share:
//   pg_test_cluster start <state file>   starts a cluster and writes its folder to the file
//   pg_test_cluster stop <state file>    stops that cluster, removes its folder and the file
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "tests/support/PgTestCluster.h"

int main(int Argc, char** Argv)
{
    if (Argc != 3) {
        std::fprintf(stderr, "usage: pg_test_cluster start|stop <state file>\n");
        return 2;
    }
    std::string Command = Argv[1];
    std::filesystem::path State = Argv[2];
    try {
        if (Command == "start") {
            {
                std::ifstream Old(State);
                std::string Folder;
                if (std::getline(Old, Folder) && !Folder.empty()) TPgTestCluster::StopAndRemove(Folder);
            }
            TPgTestCluster Cluster;
            std::ofstream(State) << Cluster.Folder().string() << "\n";
            Cluster.Release();
            std::printf("PostgreSQL for the tests runs in %s\n", Cluster.Folder().c_str());
            return 0;
        }
        if (Command == "stop") {
            std::ifstream In(State);
            std::string Folder;
            std::getline(In, Folder);
            In.close();
            if (!Folder.empty()) TPgTestCluster::StopAndRemove(Folder);
            std::filesystem::remove(State);
            return 0;
        }
    } catch (const std::exception& E) {
        std::fprintf(stderr, "%s\n", E.what());
        return 1;
    }
    std::fprintf(stderr, "unknown command %s\n", Command.c_str());
    return 2;
}
