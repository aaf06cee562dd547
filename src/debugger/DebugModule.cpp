// DebugModule.cpp - statement texts and bind lists of the data module.
#include "debugger/DebugModule.h"

TDataModule1* DataModule1 = nullptr;

namespace {

void setLines(TOraSQL& sql, std::initializer_list<const char*> lines)
{
    sql.SQL().Clear();
    for (const char* line : lines)
        sql.SQL().Add(line);
}

// Every bind goes in and out alike, except those declared output only.
void bind(TOraSQL& sql, const char* name, TOraDataType type, int size = 0,
          TParamDirection direction = TParamDirection::InOut)
{
    sql.Params().Add(name, direction, type, size);
}

constexpr auto Int = TOraDataType::Integer;
constexpr auto Str = TOraDataType::String;

// The ten runtime-information binds that attach and continue read back.
void bindRunInfo(TOraSQL& sql, bool capitalised)
{
    bind(sql, "program_namespace", Int);
    bind(sql, "program_name", Str, 128);
    bind(sql, "program_owner", Str, 128);
    bind(sql, "program_dblink", Str, 128);
    bind(sql, "line#", Int);
    bind(sql, capitalised ? "Terminated" : "terminated", Int);
    bind(sql, capitalised ? "BreakPoint" : "breakpoint", Int);
    bind(sql, capitalised ? "StackDepth" : "stackdepth", Int);
    bind(sql, capitalised ? "InterpreterDepth" : "interpreterdepth", Int);
    bind(sql, capitalised ? "Reason" : "reason", Int);
}

void defineAttach(TOraSQL& sql)
{
    setLines(sql, {
        "declare",
        "  runtime_info sys.dbms_debug.runtime_info;",
        "begin ",
        "  sys.dbms_debug.default_timeout := :default_timeout;",
        "  runtime_info.program.namespace := null;",
        "  runtime_info.program.name := null;",
        "  runtime_info.program.owner := null;",
        "  runtime_info.program.dblink := null;",
        "  runtime_info.line# := null;",
        "  runtime_info.terminated := null;",
        "  runtime_info.breakpoint := null;",
        "  runtime_info.stackdepth := null;",
        "  runtime_info.interpreterdepth := null;",
        "  runtime_info.reason := null;",
        "  sys.dbms_debug.attach_session(debug_session_id => :debug_session_id);",
        "  :sync_result := sys.dbms_debug.synchronize(run_info => runtime_info, info_requested => "
        "sys.dbms_debug.info_getStackDepth + sys.dbms_debug.info_getLineInfo + sys.dbms_debug.info_getBreakpoint);",
        "  :program_namespace := runtime_info.program.namespace;",
        "  :program_name := runtime_info.program.name;",
        "  :program_owner := runtime_info.program.owner;",
        "  :program_dblink := runtime_info.program.dblink;",
        "  :line# := runtime_info.line#;",
        "  :terminated := runtime_info.terminated;",
        "  :breakpoint := runtime_info.breakpoint;",
        "  :stackdepth := runtime_info.stackdepth;",
        "  :interpreterdepth := runtime_info.interpreterdepth;",
        "  :reason := runtime_info.reason;",
        "  sys.dbms_debug.default_timeout := 3600;",
        "end;",
    });
    sql.Params().Clear();
    bind(sql, "default_timeout", Int);
    bind(sql, "Debug_Session_ID", Str, 50);
    bind(sql, "sync_result", Int);
    bindRunInfo(sql, false);
}

void defineContinue(TOraSQL& sql)
{
    setLines(sql, {
        "declare",
        "  runtime_info sys.dbms_debug.runtime_info; ",
        "  sync_result integer; ",
        "begin ",
        "  sys.dbms_debug.default_timeout := :default_timeout; ",
        "--  runtime_info.program.namespace := :program_namespace; ",
        "--  runtime_info.program.name := :program_name; ",
        "--  runtime_info.program.owner := :program_owner; ",
        "--  runtime_info.program.dblink := :program_dblink; ",
        "--  runtime_info.line# := :line#; ",
        "--  runtime_info.terminated := :terminated; ",
        "--  runtime_info.breakpoint := :breakpoint; ",
        "--  runtime_info.stackdepth := :stackdepth; ",
        "--  runtime_info.interpreterdepth := :interpreterdepth; ",
        "--  runtime_info.reason := :reason; ",
        "  if :do_sync = 1 ",
        "  then  ",
        "    sync_result := sys.dbms_debug.synchronize(run_info => runtime_info, info_requested => "
        "sys.dbms_debug.info_getStackDepth + sys.dbms_debug.info_getLineInfo + sys.dbms_debug.info_getBreakpoint); ",
        "  end if; ",
        "  :cont_result := sys.dbms_debug.continue(run_info => runtime_info, breakflags => :breakflags, "
        "info_requested => sys.dbms_debug.info_getStackDepth + sys.dbms_debug.info_getLineInfo + "
        "sys.dbms_debug.info_getBreakpoint); ",
        "  :program_namespace := runtime_info.program.namespace; ",
        "  :program_name := runtime_info.program.name; ",
        "  :program_owner := runtime_info.program.owner; ",
        "  :program_dblink := runtime_info.program.dblink; ",
        "  :line# := runtime_info.line#; ",
        "  :terminated := runtime_info.terminated; ",
        "  :breakpoint := runtime_info.breakpoint; ",
        "  :stackdepth := runtime_info.stackdepth; ",
        "  :interpreterdepth := runtime_info.interpreterdepth; ",
        "  :reason := runtime_info.reason; ",
        "  sys.dbms_debug.default_timeout := 3600; ",
        "end; ",
    });
    sql.Params().Clear();
    bind(sql, "default_timeout", Int);
    bind(sql, "do_sync", Int);
    bind(sql, "cont_result", Int);
    bind(sql, "BreakFlags", Int);
    bindRunInfo(sql, true);
}

void defineContinue2(TOraSQL& sql)
{
    setLines(sql, {
        "declare",
        "  info dbms_debug.runtime_info;",
        "  ret binary_integer;",
        "begin",
        " sys.dbms_debug.default_timeout := 60; ",
        "  ret := dbms_debug.synchronize(info,0);",
        "  ret := dbms_debug.continue(info,0 ,0);",
        "end;",
    });
    sql.Params().Clear();
}

void defineBreakpoints(TOraSQL& set, TOraSQL& del)
{
    setLines(set, {
        "declare",
        "  PI DBMS_DEBUG.Program_Info;",
        "begin",
        "  PI.NameSpace:= 1;",
        "  PI.Name:= :UnitName;",
        "  PI.Owner:= :UnitOwner;",
        "  PI.DbLink:= NULL;",
        "  :Status := DBMS_DEBUG.Set_Breakpoint(PI, :LineNo, :BreakpointNo);",
        "end;",
    });
    set.Params().Clear();
    bind(set, "UnitName", Str, 50);
    bind(set, "UnitOwner", Str, 50);
    bind(set, "Status", Int);
    bind(set, "LineNo", Int);
    bind(set, "BreakpointNo", Int);

    setLines(del, {
        "begin",
        "  :Status := DBMS_DEBUG.Delete_Breakpoint(:BreakpointNo);",
        "end;",
    });
    del.Params().Clear();
    bind(del, "Status", Int);
    bind(del, "BreakpointNo", Int);
}

void defineTargetStatements(TDataModule1& m)
{
    setLines(m.sqInitialize, {
        "begin",
        "  :Debug_Session_ID := DBMS_DEBUG.Initialize('', 0);",
        "  --DBMS_DEBUG.Debug_On;",
        "end;",
    });
    m.sqInitialize.Params().Clear();
    bind(m.sqInitialize, "Debug_Session_ID", Str, 50, TParamDirection::Out);

    setLines(m.sqSetPLSQLDebug, {"ALTER SESSION SET PLSQL_DEBUG = True"});
    m.sqSetPLSQLDebug.Params().Clear();
    setLines(m.sqDebugOn, {"begin", "  DBMS_DEBUG.Debug_On;", "end;"});
    m.sqDebugOn.Params().Clear();
    setLines(m.sqDebugOff, {"begin", "  DBMS_DEBUG.Debug_Off;", "end;"});
    m.sqDebugOff.Params().Clear();
}

void defineLineMap(TOraSQL& sql)
{
    setLines(sql, {
        "DECLARE",
        "   program dbms_debug.program_info;",
        "   LineMap VARCHAR2(4000);",
        "BEGIN",
        "   program.NameSpace := :program_namespace;",
        "   program.Name := :program_name;",
        "   program.Owner := :program_owner;",
        "   program.DBLink := :program_dblink;",
        "   program.LibUnitType := :LibUnitType;",
        "   program.EntrypointName := :EntrypointName;   ",
        "  :Status := dbms_debug.get_line_map(program, :MaxLine, :NumEntryPts, LineMap);",
        "  :LineMap := LineMap;",
        "END;",
    });
    sql.Params().Clear();
    bind(sql, "program_namespace", Int);
    bind(sql, "program_name", Str, 128);
    bind(sql, "program_owner", Str, 128);
    bind(sql, "program_dblink", Str, 128);
    bind(sql, "LibUnitType", Int);
    bind(sql, "EntrypointName", Str, 128);
    bind(sql, "Status", Int);
    bind(sql, "MaxLine", Int);
    bind(sql, "NumEntryPts", Int);
    bind(sql, "LineMap", Str, 4000, TParamDirection::Out);
}

} // namespace

TDataModule1::TDataModule1() : OwnerList(std::make_unique<TOwnerList>())
{
    // Design-time defaults that pre-fill the connect dialog.
    OraSession.SetUsername("DEMO");
    OraSession.SetServer("sandbox");
    seTarget.SetConnectPrompt(false);

    defineTargetStatements(*this);
    defineAttach(sqAttach);
    defineContinue(sqContinue);
    defineContinue2(sqContinue2);
    defineBreakpoints(sqSetBreakpoint, sqDeleteBreakpoint);
    defineLineMap(sqGetLineNum);
    setLines(sqDetach, {"begin", "  DBMS_DEBUG.Detach_Session;", "end;"});
    sqDetach.Params().Clear();
}

TDataModule1::~TDataModule1() = default;
