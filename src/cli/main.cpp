// tarnel-sql: a SQL*Plus-like command-line client over the data-access
// layer, for preparing and inspecting schemas from scripts.
//
//   tarnel-sql [-S] [user/password@server | /nolog] [@script.sql]
//
// Without a script, statements are read from standard input.
#include "cli/SqlShell.h"

#include <filesystem>
#include <iostream>
#include <string>

namespace {

void usage()
{
    std::cout << "Usage: tarnel-sql [-S] [user/password[@server] | /nolog] [@script.sql]\n"
                 "  -S        silent: no banner and no prompts\n"
                 "  server    sandbox (the default), sandbox:PATH, or a tnsnames alias\n"
                 "Statements end with \";\" (SQL) or a line holding only \"/\" (PL/SQL).\n";
}

} // namespace

int main(int argc, char** argv)
{
    bool silent = false;
    std::string logon, script;
    bool nolog = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "-S" || a == "-s" || a == "-silent" || a == "-SILENT")
            silent = true;
        else if (a == "-L" || a == "-l")
            continue;
        else if (a == "-h" || a == "-H" || a == "--help" || a == "-help") {
            usage();
            return 0;
        } else if (a[0] == '@' && script.empty())
            script = a.substr(1);
        else if (a == "/nolog" || a == "/NOLOG")
            nolog = true;
        else if (a[0] == '-') {
            std::cerr << "tarnel-sql: unknown option " << a << "\n";
            usage();
            return 1;
        } else if (logon.empty() && script.empty())
            logon = a;
    }

    cli::SqlShell shell(std::cout, silent);
    if (!silent)
        std::cout << "\ntarnel-sql 0.1: SQL client for the Tarnel sandbox\n\n";
    if (!logon.empty() && !nolog) {
        if (shell.Connect(logon, false) && !silent)
            std::cout << "Connected.\n\n";
    }
    if (!script.empty())
        shell.RunFile(script, std::filesystem::current_path().string());
    if (!shell.Exited())
        shell.Run(std::cin, std::filesystem::current_path().string(), true);
    if (!shell.Exited())
        shell.Finish();   // end of input: as EXIT
    std::cout.flush();
    return shell.ExitCode();
}
