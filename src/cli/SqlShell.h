// SqlShell: the command interpreter of tarnel-sql: reads lines, tells
// SQL*Plus commands from SQL and PL/SQL, runs statements on one session and
// prints their results as SQL*Plus does.
#pragma once

#include "cli/Feedback.h"
#include "db/OraError.h"
#include "db/OraSession.h"

#include <istream>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace cli {

class SqlShell {
public:
    SqlShell(std::ostream& out, bool silent);

    // Logs on with "user[/password][@server]"; prints "Connected." when
    // `announce`, or the error. Returns true when connected.
    bool Connect(const std::string& logon, bool announce);

    // Runs the lines of `in`. `dir` resolves "@@" files; `interactive`
    // shows prompts (unless silent).
    void Run(std::istream& in, const std::string& dir, bool interactive);
    // "@file": runs a script file; false (with SP2-0310) when it cannot be opened.
    bool RunFile(const std::string& name, const std::string& dir);

    // End of input: commits and disconnects, as EXIT does.
    void Finish() { exitWith(0, true); }

    bool Exited() const { return exited_; }
    int ExitCode() const { return exitCode_; }

private:
    struct Variable {
        TOraDataType type = TOraDataType::String;
        int size = 0;
        db::OraValue value;
        std::string typeName;
    };
    struct WheneverSqlError {
        bool exit = false;
        int code = 0;
        bool commit = false;
    };

    bool runCommand(const std::string& line, const std::string& dir);
    void executeStatement(const std::string& text);
    void printServerOutput();
    void reportError(const EOraError& e);
    void exitWith(int code, bool commit);

    void cmdConnect(const std::string& args);
    void cmdSet(const std::string& args);
    void cmdShow(const std::string& args);
    void cmdShowErrors(const std::string& args);
    void cmdWhenever(const std::string& args);
    void cmdExit(const std::string& args);
    void cmdDescribe(const std::string& args);
    void cmdVariable(const std::string& args);
    void cmdPrint(const std::string& args);
    void enableServerOutput(bool on);
    // Runs a statement quietly for the shell's own needs; false on error.
    bool quiet(const std::string& text, std::vector<db::DriverBind>& binds);

    std::ostream& out_;
    bool silent_;
    TOraSession session_{"tarnel-sql"};
    bool serverOutput_ = false;
    bool echo_ = false;
    bool heading_ = true;
    int feedback_ = 1;            // smallest row count reported; 0 = off
    WheneverSqlError whenever_;
    std::map<std::string, Variable> variables_;   // upper-case names
    std::optional<UnitRef> lastUnit_;
    std::string lastStatement_;
    bool exited_ = false;
    int exitCode_ = 0;
};

} // namespace cli
