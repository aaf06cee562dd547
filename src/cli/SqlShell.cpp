// SqlShell: line handling, statement execution and SQL*Plus commands.
#include "cli/SqlShell.h"

#include "cli/Describe.h"
#include "cli/ResultFormat.h"
#include "db/ScriptSplitter.h"
#include "db/SqlLexer.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace cli {
namespace {

std::string upper(std::string s)
{
    for (auto& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string trim(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

// Splits off the first blank-separated word.
std::pair<std::string, std::string> firstWord(const std::string& s)
{
    std::string t = trim(s);
    size_t end = 0;
    while (end < t.size() && !std::isspace(static_cast<unsigned char>(t[end])))
        ++end;
    return {t.substr(0, end), trim(t.substr(end))};
}

std::vector<std::string> words(const std::string& s)
{
    std::istringstream in(s);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

std::string withoutSemicolon(std::string s)
{
    s = trim(s);
    while (!s.empty() && s.back() == ';')
        s.pop_back();
    return trim(s);
}

// SQL*Plus abbreviations: `word` matches `full` when it is a prefix of it at
// least `minimum` characters long ("SERVEROUT" for "SERVEROUTPUT").
bool abbrev(const std::string& word, const std::string& full, size_t minimum)
{
    std::string w = upper(word);
    return w.size() >= minimum && w.size() <= full.size() && full.compare(0, w.size(), w) == 0;
}

bool isInteger(const std::string& s)
{
    if (s.empty())
        return false;
    for (size_t i = s[0] == '-' ? 1 : 0; i < s.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(s[i])))
            return false;
    return s != "-";
}

// A number typed in a command; out-of-range values are clamped rather than
// ending the program.
int toInt(const std::string& s)
{
    long long v = std::strtoll(s.c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

// EXIT and WHENEVER codes: SUCCESS, FAILURE, WARNING or a number.
std::optional<int> exitCodeOf(const std::string& word)
{
    std::string w = upper(word);
    if (w == "SUCCESS") return 0;
    if (w == "FAILURE") return 1;
    if (w == "WARNING") return 2;
    if (isInteger(w)) return toInt(w);
    return std::nullopt;
}

const int sqlCodeExit = -100000;   // WHENEVER SQLERROR EXIT SQL.SQLCODE

} // namespace

SqlShell::SqlShell(std::ostream& out, bool silent) : out_(out), silent_(silent)
{
    session_.SetConnectPrompt(false);
}

bool SqlShell::Connect(const std::string& logon, bool announce)
{
    bool wasConnected = session_.Connected();
    session_.Disconnect();
    session_.SetConnectString(logon);
    try {
        session_.ConnectDirect();
    } catch (const EOraError& e) {
        out_ << "ERROR:\n" << e.Message() << "\n\n";
        if (wasConnected)
            out_ << "Warning: You are no longer connected to ORACLE.\n";
        return false;
    }
    if (announce)
        out_ << "Connected.\n";
    if (serverOutput_)
        enableServerOutput(true);
    return true;
}

void SqlShell::Run(std::istream& in, const std::string& dir, bool interactive)
{
    db::ScriptSplitter splitter;
    int bufferLine = 0;
    std::string line;
    while (!exited_) {
        bool idle = splitter.Idle() && splitter.InCode();
        if (interactive && !silent_) {
            if (idle)
                out_ << "SQL> ";
            else {
                char prompt[16];
                std::snprintf(prompt, sizeof prompt, "%3d  ", bufferLine + 1);
                out_ << prompt;
            }
            out_.flush();
        }
        if (!std::getline(in, line)) {
            if (interactive && !silent_)
                out_ << "\n";
            break;
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (echo_ && !interactive)
            out_ << line << "\n";
        std::string trimmed = trim(line);
        if (idle) {
            bufferLine = 0;
            if (trimmed.empty())
                continue;
            if (trimmed == "/") {
                if (!lastStatement_.empty())
                    executeStatement(lastStatement_);
                continue;
            }
            if (runCommand(trimmed, dir))
                continue;
        } else if (trimmed == "." && splitter.InCode()) {
            splitter = db::ScriptSplitter();   // ends the buffer without running it
            continue;
        }
        for (auto& statement : splitter.AddLine(line)) {
            executeStatement(statement.text);
            if (exited_)
                return;
        }
        bufferLine = splitter.Idle() ? 0 : bufferLine + 1;
    }
    // Like SQL*Plus, a statement still unterminated at the end is not run.
}

bool SqlShell::RunFile(const std::string& name, const std::string& dir)
{
    namespace fs = std::filesystem;
    if (name.empty()) {
        out_ << "SP2-1506: START, @ or @@ command has no arguments\n";
        return false;
    }
    fs::path path(name);
    if (!path.has_extension())
        path += ".sql";
    std::vector<fs::path> candidates{path};
    if (path.is_relative() && !dir.empty())
        candidates.push_back(fs::path(dir) / path);
    for (const auto& candidate : candidates) {
        std::ifstream in(candidate);
        if (!in)
            continue;
        Run(in, candidate.parent_path().string(), false);
        return true;
    }
    out_ << "SP2-0310: unable to open file \"" << path.string() << "\"\n";
    return false;
}

// Returns false when the line is no SQL*Plus command, so it goes to the server.
bool SqlShell::runCommand(const std::string& line, const std::string& dir)
{
    if (line.rfind("@@", 0) == 0) {
        RunFile(withoutSemicolon(line.substr(2)), dir);
        return true;
    }
    if (line[0] == '@') {
        std::string name = firstWord(withoutSemicolon(line.substr(1))).first;
        RunFile(name, dir);
        return true;
    }
    auto [cmd, args] = firstWord(line);
    if (abbrev(cmd, "REMARK", 3))
        return true;
    if (abbrev(cmd, "PROMPT", 3)) {
        out_ << args << "\n";
        return true;
    }
    if (abbrev(cmd, "CONNECT", 4)) { cmdConnect(withoutSemicolon(args)); return true; }
    if (abbrev(cmd, "DISCONNECT", 4)) {
        session_.Disconnect();
        out_ << "Disconnected.\n";
        return true;
    }
    if (upper(cmd) == "SET") {
        std::string what = upper(firstWord(args).first);
        if (what == "TRANSACTION" || what == "ROLE" || what.rfind("CONSTRAINT", 0) == 0)
            return false;   // SQL statements
        cmdSet(withoutSemicolon(args));
        return true;
    }
    if (abbrev(cmd, "SHOW", 3)) { cmdShow(withoutSemicolon(args)); return true; }
    if (upper(cmd) == "WHENEVER") { cmdWhenever(withoutSemicolon(args)); return true; }
    if (upper(withoutSemicolon(cmd)) == "EXIT" || upper(withoutSemicolon(cmd)) == "QUIT") {
        cmdExit(withoutSemicolon(args));
        return true;
    }
    if (abbrev(cmd, "VARIABLE", 3)) { cmdVariable(withoutSemicolon(args)); return true; }
    if (abbrev(cmd, "PRINT", 3)) { cmdPrint(withoutSemicolon(args)); return true; }
    if (abbrev(cmd, "EXECUTE", 4)) {
        if (withoutSemicolon(args).empty())
            out_ << "Usage: EXEC[UTE] statement\n";
        else
            executeStatement("BEGIN " + withoutSemicolon(args) + "; END;");
        return true;
    }
    if (abbrev(cmd, "DESCRIBE", 4)) { cmdDescribe(withoutSemicolon(args)); return true; }
    if (abbrev(cmd, "START", 3)) {
        RunFile(firstWord(withoutSemicolon(args)).first, dir);
        return true;
    }
    return false;
}

void SqlShell::executeStatement(const std::string& text)
{
    lastStatement_ = text;
    if (!session_.Connected()) {
        out_ << "SP2-0640: Not connected\n";
        return;
    }
    bool unit = db::IsUnitDefinition(text);
    std::vector<db::DriverBind> binds;
    if (!unit)
        for (const auto& name : db::FindBindNames(text))
            if (auto v = variables_.find(upper(name)); v != variables_.end())
                binds.push_back({name, v->second.type, TParamDirection::InOut, v->second.size, v->second.value});

    ResultTable table;
    bool query = false;
    db::DriverResult result;
    try {
        result = session_.Execute(text, binds, [&](db::DriverResult& r) {
            if (!r.cursor)
                return;
            query = true;
            table.columns = r.cursor->columns();
            std::vector<db::OraValue> row;
            while (r.cursor->fetch(row))
                table.rows.push_back(row);
            r.cursor.reset();
        });
    } catch (const EOraError& e) {
        printServerOutput();
        reportError(e);
        return;
    }
    for (const auto& b : binds)
        variables_[upper(b.name)].value = b.value;
    if (auto u = UnitOf(text))
        lastUnit_ = u;
    printServerOutput();

    if (result.warningCode != 0) {
        out_ << "\n" << CompilationWarningFor(text) << "\n\n";
        return;
    }
    if (query) {
        size_t n = table.rows.size();
        if (n == 0) {
            if (feedback_ > 0)
                out_ << "\nno rows selected\n\n";
            return;
        }
        out_ << "\n" << FormatTable(table, heading_) << "\n";
        if (feedback_ > 0 && n >= static_cast<size_t>(feedback_))
            out_ << n << (n == 1 ? " row" : " rows") << " selected.\n\n";
        return;
    }
    if (feedback_ > 0)
        out_ << "\n" << FeedbackFor(text, result.rowCount) << "\n\n";
}

void SqlShell::reportError(const EOraError& e)
{
    out_ << "ERROR:\n" << e.Message() << "\n\n";
    if (whenever_.exit)
        exitWith(whenever_.code == sqlCodeExit ? e.ErrorCode() % 256 : whenever_.code, whenever_.commit);
}

bool SqlShell::quiet(const std::string& text, std::vector<db::DriverBind>& binds)
{
    if (!session_.Connected())
        return false;
    try {
        session_.Execute(text, binds);
        return true;
    } catch (const EOraError&) {
        return false;
    }
}

void SqlShell::printServerOutput()
{
    if (!serverOutput_)
        return;
    for (int guard = 0; guard < 1000000; ++guard) {
        std::vector<db::DriverBind> binds{
            {"line", TOraDataType::String, TParamDirection::Out, 32767, std::nullopt},
            {"status", TOraDataType::Integer, TParamDirection::Out, 0, std::nullopt}};
        if (!quiet("BEGIN DBMS_OUTPUT.GET_LINE(:line, :status); END;", binds))
            return;
        if (!binds[1].value || *binds[1].value != "0")
            return;
        out_ << binds[0].value.value_or("") << "\n";
    }
}

void SqlShell::enableServerOutput(bool on)
{
    std::vector<db::DriverBind> none;
    quiet(on ? "BEGIN DBMS_OUTPUT.ENABLE(NULL); END;" : "BEGIN DBMS_OUTPUT.DISABLE; END;", none);
}

void SqlShell::exitWith(int code, bool commit)
{
    std::vector<db::DriverBind> none;
    quiet(commit ? "COMMIT" : "ROLLBACK", none);
    session_.Disconnect();
    exited_ = true;
    exitCode_ = code;
}

void SqlShell::cmdConnect(const std::string& args)
{
    if (args.empty()) {
        out_ << "SP2-0306: Invalid option.\nUsage: CONN[ECT] user[/password][@server]\n";
        return;
    }
    Connect(firstWord(args).first, true);
}

void SqlShell::cmdSet(const std::string& args)
{
    auto w = words(args);
    if (w.empty()) {
        out_ << "SP2-0265: set option missing\n";
        return;
    }
    std::string value = w.size() > 1 ? upper(w[1]) : std::string();
    auto onOff = [&](bool& flag) {
        if (value == "ON" || value == "OFF")
            flag = value == "ON";
        else
            out_ << "SP2-0268: " << upper(w[0]) << " option not a valid number or ON|OFF\n";
    };
    const std::string& opt = w[0];
    if (abbrev(opt, "SERVEROUTPUT", 9)) {
        bool on = serverOutput_;
        onOff(on);
        serverOutput_ = on;
        enableServerOutput(on);
    } else if (abbrev(opt, "FEEDBACK", 4)) {
        if (value == "ON") feedback_ = 1;
        else if (value == "OFF") feedback_ = 0;
        else if (isInteger(value)) feedback_ = std::max(0, toInt(value));
        else out_ << "SP2-0268: feedback option not a valid number or ON|OFF\n";
    } else if (abbrev(opt, "ECHO", 4)) {
        onOff(echo_);
    } else if (abbrev(opt, "HEADING", 3)) {
        onOff(heading_);
    } else if (abbrev(opt, "PAGESIZE", 5) || abbrev(opt, "LINESIZE", 3) || abbrev(opt, "VERIFY", 3)
               || abbrev(opt, "TRIMSPOOL", 5) || abbrev(opt, "TRIMOUT", 5) || abbrev(opt, "TERMOUT", 4)
               || abbrev(opt, "DEFINE", 3) || abbrev(opt, "TIMING", 4) || abbrev(opt, "LONG", 4)
               || abbrev(opt, "SQLBLANKLINES", 5) || abbrev(opt, "TAB", 3) || abbrev(opt, "WRAP", 3)
               || abbrev(opt, "NUMWIDTH", 3) || abbrev(opt, "SCAN", 4) || abbrev(opt, "EXITCOMMIT", 5)) {
        // Accepted for scripts written for SQL*Plus; tarnel-sql's layout does not page or wrap.
    } else {
        out_ << "SP2-0158: unknown SET option \"" << opt << "\"\n";
    }
}

void SqlShell::cmdShow(const std::string& args)
{
    auto [what, rest] = firstWord(args);
    if (abbrev(what, "ERRORS", 3)) {
        cmdShowErrors(rest);
    } else if (upper(what) == "USER") {
        if (session_.Connected())
            out_ << "USER is \"" << upper(session_.Username()) << "\"\n";
        else
            out_ << "USER is \"\"\n";
    } else {
        out_ << "SP2-0158: unknown SHOW option \"" << what << "\"\n";
    }
}

void SqlShell::cmdShowErrors(const std::string& args)
{
    std::optional<UnitRef> unit = lastUnit_;
    if (!args.empty()) {
        // "[type] [owner.]name", type words as in CREATE
        auto parsed = UnitOf("CREATE " + args);
        if (!parsed) {
            auto w = words(args);
            parsed = UnitOf("CREATE PROCEDURE " + w.back());
            if (parsed)
                parsed->type = w.size() > 1 ? upper(w[0]) : "PROCEDURE";
        }
        unit = parsed;
    }
    if (!unit) {
        out_ << "No errors.\n";
        return;
    }
    if (!session_.Connected()) {
        out_ << "SP2-0640: Not connected\n";
        return;
    }
    std::string owner = unit->owner.empty() ? upper(session_.Username()) : unit->owner;
    std::vector<db::DriverBind> binds{
        {"owner", TOraDataType::String, TParamDirection::In, 128, owner},
        {"name", TOraDataType::String, TParamDirection::In, 128, unit->name},
        {"type", TOraDataType::String, TParamDirection::In, 30, unit->type}};
    std::vector<CompileError> errors;
    try {
        session_.Execute("SELECT line, position, text FROM all_errors"
                         " WHERE owner = :owner AND name = :name AND type = :type ORDER BY sequence",
                         binds, [&](db::DriverResult& r) {
            if (!r.cursor)
                return;
            std::vector<db::OraValue> row;
            while (r.cursor->fetch(row))
                errors.push_back({row.size() > 0 && row[0] ? toInt(*row[0]) : 0,
                                  row.size() > 1 && row[1] ? toInt(*row[1]) : 0,
                                  row.size() > 2 && row[2] ? *row[2] : std::string()});
        });
    } catch (const EOraError& e) {
        reportError(e);
        return;
    }
    if (errors.empty()) {
        out_ << "No errors.\n";
        return;
    }
    out_ << "Errors for " << unit->type << " " << unit->display() << ":\n\n" << FormatErrors(errors) << "\n";
}

void SqlShell::cmdWhenever(const std::string& args)
{
    auto w = words(args);
    if (w.empty() || (upper(w[0]) != "SQLERROR" && upper(w[0]) != "OSERROR")) {
        out_ << "SP2-0591: Unknown command beginning \"whenever\"\n";
        return;
    }
    if (upper(w[0]) == "OSERROR")
        return;   // no operating-system commands here
    std::string action = w.size() > 1 ? upper(w[1]) : std::string();
    if (action == "CONTINUE") {
        whenever_ = {};
        return;
    }
    if (action != "EXIT") {
        out_ << "SP2-0591: Unknown command beginning \"whenever\"\n";
        return;
    }
    WheneverSqlError next{true, 0, false};
    for (size_t i = 2; i < w.size(); ++i) {
        std::string a = upper(w[i]);
        if (a == "COMMIT") next.commit = true;
        else if (a == "ROLLBACK") next.commit = false;
        else if (a == "SQL.SQLCODE") next.code = sqlCodeExit;
        else if (auto code = exitCodeOf(a)) next.code = *code;
    }
    whenever_ = next;
}

void SqlShell::cmdExit(const std::string& args)
{
    int code = 0;
    bool commit = true;
    for (const auto& word : words(args)) {
        std::string a = upper(word);
        if (a == "COMMIT") commit = true;
        else if (a == "ROLLBACK") commit = false;
        else if (auto c = exitCodeOf(a)) code = *c;
    }
    exitWith(code, commit);
}

void SqlShell::cmdDescribe(const std::string& args)
{
    if (args.empty()) {
        out_ << "Usage: DESC[RIBE] [schema.]object\n";
        return;
    }
    if (!session_.Connected()) {
        out_ << "SP2-0640: Not connected\n";
        return;
    }
    auto unit = UnitOf("CREATE PROCEDURE " + firstWord(args).first);
    if (!unit)
        return;
    std::string owner = unit->owner.empty() ? upper(session_.Username()) : unit->owner;
    try {
        out_ << Describe(session_, owner, unit->name) << "\n";
    } catch (const EOraError& e) {
        reportError(e);
    }
}

void SqlShell::cmdVariable(const std::string& args)
{
    // VARIABLE name type [= value]
    std::string text = args;
    std::optional<std::string> initial;
    if (auto eq = text.find('='); eq != std::string::npos) {
        initial = trim(text.substr(eq + 1));
        text = text.substr(0, eq);
        if (initial->size() >= 2 && initial->front() == '\'' && initial->back() == '\'')
            initial = initial->substr(1, initial->size() - 2);
    }
    auto [name, typeText] = firstWord(text);
    std::string type = upper(trim(typeText));
    std::string base = type.substr(0, type.find('('));
    base = trim(base);
    Variable v;
    if (base == "NUMBER" || base == "BINARY_FLOAT" || base == "BINARY_DOUBLE") {
        v.type = TOraDataType::Number;
    } else if (base == "VARCHAR2" || base == "NVARCHAR2" || base == "CHAR" || base == "NCHAR") {
        v.type = TOraDataType::String;
        v.size = 1;
        if (auto open = type.find('('); open != std::string::npos)
            v.size = std::max(1, toInt(type.substr(open + 1)));
    } else {
        out_ << "Usage: VAR[IABLE] <variable> NUMBER | VARCHAR2(n) | CHAR(n) [= value]\n";
        return;
    }
    v.typeName = type;
    if (initial && !initial->empty())
        v.value = *initial;
    variables_[upper(name)] = v;
}

void SqlShell::cmdPrint(const std::string& args)
{
    std::vector<std::string> names;
    for (const auto& w : words(args))
        names.push_back(upper(w[0] == ':' ? w.substr(1) : w));
    if (names.empty())
        for (const auto& [name, v] : variables_)
            names.push_back(name);
    for (const auto& name : names) {
        auto v = variables_.find(name);
        if (v == variables_.end()) {
            out_ << "SP2-0552: Bind variable \"" << name << "\" not declared.\n";
            continue;
        }
        ResultTable table;
        table.columns.push_back({name, v->second.type == TOraDataType::String ? db::DriverColumn::Type::String
                                                                               : db::DriverColumn::Type::Number});
        table.rows.push_back({v->second.value});
        out_ << "\n" << FormatTable(table, heading_) << "\n";
    }
}

} // namespace cli
