// OraScript: runs a script statement by statement (see ScriptSplitter for
// where statements end); a rejected statement is reported and the script
// goes on with the next.
#pragma once

#include "db/OraError.h"
#include "db/OraStrings.h"

#include <functional>

class TOraSession;

class TOraScript {
public:
    explicit TOraScript(TOraSession* session = nullptr);

    TOraSession* Session() const { return session_; }
    void SetSession(TOraSession* session) { session_ = session; }

    TOraStrings& SQL() { return sql_; }
    const TOraStrings& SQL() const { return sql_; }

    // Each server error, and each warning such as ORA-24344, goes here. The
    // default is the application's error display (db::ShowError).
    std::function<void(const EOraError&)> OnError;

    // Sends every statement in turn. Returns normally after errors, which
    // OnError saw; a cancelled connect dialog throws EAbort before anything
    // ran.
    void Execute();

private:
    TOraSession* session_;
    TOraStrings sql_;
};
