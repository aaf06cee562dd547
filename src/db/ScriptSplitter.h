// ScriptSplitter: cuts a script into the statements a server accepts one at
// a time, as SQL*Plus does.
//
// A SQL statement ends at a ";" outside comments and literals (the ";" is not
// sent). A PL/SQL unit definition (CREATE [OR REPLACE] FUNCTION, PROCEDURE,
// PACKAGE [BODY], TRIGGER, TYPE [BODY], LIBRARY) or block (DECLARE, BEGIN,
// <<label>>) keeps its semicolons and ends at a line holding only "/" or at
// the end of the text. A "/" line also ends a pending SQL statement.
// Comments and blank lines before a statement are not part of it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/SqlLexer.h"

namespace db {

struct ScriptStatement {
    std::string text;
    int line = 1;            // line of the script where the statement starts, from 1
    bool plsql = false;      // a unit definition or an anonymous block
};

class ScriptSplitter {
public:
    // Takes the next line of the script (without its line break) and
    // returns the statements it completes.
    std::vector<ScriptStatement> AddLine(std::string_view line);
    // The statement still pending at the end of the script, if any.
    std::optional<ScriptStatement> Finish();
    // True while no statement has begun: only blanks and comments so far.
    bool Idle() const { return !started_; }
    // True when the pending text is a PL/SQL unit or block.
    bool PendingIsPlsql() const;
    // The state at the end of the last line: inside a literal or comment?
    bool InCode() const { return state_.inCode(); }

private:
    void addSegment(std::string_view line, std::vector<ScriptStatement>& out);
    ScriptStatement take();

    SqlLexState state_;
    std::string pending_;
    bool started_ = false;
    int startLine_ = 1;
    int lineNo_ = 0;
};

std::vector<ScriptStatement> SplitScript(std::string_view text);

// True when `text`, after blanks and comments, begins a PL/SQL unit
// definition or an anonymous block.
bool IsPlsqlText(std::string_view text);
// True for a CREATE of a PL/SQL unit, whose ":name" words (":new" in a
// trigger) are no binds.
bool IsUnitDefinition(std::string_view text);

} // namespace db
