// DebugModule.h - the data module: both Oracle sessions, the catalogue query,
// the script that stores edited source, and every fixed statement that drives
// the server-side debugger (DBMS_DEBUG), with its bind variables.
#pragma once

#include "catalog/DBObjects.h"
#include "db/OraSQL.h"
#include "db/OraScript.h"
#include "db/OraSession.h"
#include "db/SmartQuery.h"

#include <memory>

class TDataModule1 {
public:
    TDataModule1();    // DataModuleCreate: creates the empty catalogue
    ~TDataModule1();   // DataModuleDestroy: frees the catalogue

    TDataModule1(const TDataModule1&) = delete;
    TDataModule1& operator=(const TDataModule1&) = delete;

    // The target session runs the program under test; it is created first,
    // as the process's default session, and never prompts.
    TOraSession seTarget{"seTarget"};
    // The debugger session: the user's connection.
    TOraSession OraSession{"OraSession"};

    TSmartQuery OraMeta{&OraSession};
    TOraScript sqCreate{&OraSession};

    // Target session.
    TOraSQL sqAlterCompileDebug{&seTarget};
    TOraSQL sqSetPLSQLDebug{&seTarget};
    TOraSQL sqInitialize{&seTarget};
    TOraSQL sqDebugOn{&seTarget};
    TOraSQL sqDebugOff{&seTarget};

    // Debugger session.
    TOraSQL sqAttach{&OraSession};
    TOraSQL sqContinue{&OraSession};
    TOraSQL sqContinue2{&OraSession};
    TOraSQL sqSetBreakpoint{&OraSession};
    TOraSQL sqDeleteBreakpoint{&OraSession};
    TOraSQL sqGetLineNum{&OraSession};
    TOraSQL sqDetach{&OraSession};

    std::unique_ptr<TOwnerList> OwnerList;
};

// The one data module of the process; created after the main window.
extern TDataModule1* DataModule1;
