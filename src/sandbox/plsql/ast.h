// ast.h - the syntax tree of a PL/SQL unit. The parser builds it with generic
// name nodes; the semantic pass (resolver) replaces those with resolved nodes
// (slots, fields, calls) and fills in types; the interpreter then walks it
// through the virtual eval/exec methods, which interp_*.cpp define.
#pragma once

#include "sandbox/plsql/rval.h"
#include "sandbox/plsql/types.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace sandbox::plsql {

struct Exec;
struct Routine;
struct Unit;
struct NativeRoutine;
struct CursorDecl;
struct ExceptionDecl;
struct Block;

struct Pos {
    int line = 0;
    int col = 0;
};

// ---- type references as written ----------------------------------------------

struct TypeSpec {
    Pos pos;
    std::vector<std::string> name;   // "NUMBER", or {"EMP","SAL"} with attr "TYPE"
    std::string attr;                // "", "TYPE", "ROWTYPE"
    int precision = -1, scale = -1;  // NUMBER(p,s), VARCHAR2(n)
    bool hasConstraint = false;
    bool empty() const { return name.empty(); }
};

// ---- expressions ------------------------------------------------------------------

enum class ExprKind {
    Literal, Name, Bind, Unary, Binary, And, Or, Not, IsNull, Like, Between, In, Case,
    // resolved
    Local, Outer, PkgVar, BindRef, Field, Element, Method, Call, NativeCall, Builtin, CursorAttr,
    SqlCode, SqlErrm, Convert, Constructor, NativeVar, SqlValue
};

struct Expr {
    Pos pos;
    ExprKind kind;
    const Type* type = nullptr;   // set by the resolver; nullptr = unknown
    explicit Expr(ExprKind k) : kind(k) {}
    virtual ~Expr() = default;
    virtual Val eval(Exec& x) const = 0;
    // A condition's outcome: 1 TRUE, 0 FALSE, -1 NULL (no Val built for comparisons).
    virtual int test(Exec& x) const;
    // The storage an assignment writes (nullptr when the expression is no target).
    virtual Val* ref(Exec&) const { return nullptr; }
};
using ExprPtr = std::unique_ptr<Expr>;

struct Arg {
    std::string name;   // named notation "p => x"; empty for positional
    ExprPtr value;
    Pos pos;
};

struct LiteralExpr : Expr {
    Val value;
    LiteralExpr() : Expr(ExprKind::Literal) {}
    Val eval(Exec&) const override { return value; }
};

// One part of a dotted name, with its call arguments: a.b(1).c
struct NamePart {
    std::string name;     // upper case (quoted names as written)
    Pos pos;
    bool hasArgs = false;
    std::vector<Arg> args;
};

// Unresolved name (the parser's output): parts and an optional cursor attribute.
struct NameExpr : Expr {
    std::vector<NamePart> parts;
    std::string attr;   // FOUND, NOTFOUND, ISOPEN, ROWCOUNT after %
    NameExpr() : Expr(ExprKind::Name) {}
    Val eval(Exec&) const override;
    std::string dotted() const;
};

struct BindExpr : Expr {   // :name in an anonymous block
    std::string name;
    int index = -1;        // into the block's bind variables (resolver)
    BindExpr() : Expr(ExprKind::Bind) {}
    Val eval(Exec& x) const override;
    Val* ref(Exec& x) const override;
};

struct UnaryExpr : Expr {
    char op;   // '-' or '+'
    ExprPtr a;
    UnaryExpr() : Expr(ExprKind::Unary) {}
    Val eval(Exec& x) const override;
};

enum class BinOp { Add, Sub, Mul, Div, Pow, Concat, Eq, Ne, Lt, Le, Gt, Ge };

struct BinaryExpr : Expr {
    BinOp op;
    ExprPtr a, b;
    BinaryExpr() : Expr(ExprKind::Binary) {}
    Val eval(Exec& x) const override;
    int test(Exec& x) const override;
};

struct LogicalExpr : Expr {   // AND / OR with three-valued logic
    ExprPtr a, b;
    explicit LogicalExpr(ExprKind k) : Expr(k) {}
    Val eval(Exec& x) const override;
    int test(Exec& x) const override;
};

struct NotExpr : Expr {
    ExprPtr a;
    NotExpr() : Expr(ExprKind::Not) {}
    Val eval(Exec& x) const override;
    int test(Exec& x) const override;
};

struct IsNullExpr : Expr {
    ExprPtr a;
    bool negated = false;
    IsNullExpr() : Expr(ExprKind::IsNull) {}
    Val eval(Exec& x) const override;
};

struct LikeExpr : Expr {
    ExprPtr a, pattern, escape;
    bool negated = false;
    LikeExpr() : Expr(ExprKind::Like) {}
    Val eval(Exec& x) const override;
};

struct BetweenExpr : Expr {
    ExprPtr a, lo, hi;
    bool negated = false;
    BetweenExpr() : Expr(ExprKind::Between) {}
    Val eval(Exec& x) const override;
};

struct InExpr : Expr {
    ExprPtr a;
    std::vector<ExprPtr> list;
    bool negated = false;
    InExpr() : Expr(ExprKind::In) {}
    Val eval(Exec& x) const override;
};

struct CaseExpr : Expr {
    ExprPtr selector;                      // simple CASE; null for searched
    std::vector<std::pair<ExprPtr, ExprPtr>> whens;
    ExprPtr otherwise;                     // ELSE; none raises CASE_NOT_FOUND in the statement form only
    CaseExpr() : Expr(ExprKind::Case) {}
    Val eval(Exec& x) const override;
};

// ---- resolved expressions --------------------------------------------------------

struct LocalExpr : Expr {         // a slot of the current frame
    int slot = 0;
    LocalExpr() : Expr(ExprKind::Local) {}
    Val eval(Exec& x) const override;
    Val* ref(Exec& x) const override;
};

struct OuterExpr : Expr {         // a slot of an enclosing routine or of the own package
    int levels = 1;               // static links to follow
    int slot = 0;
    OuterExpr() : Expr(ExprKind::Outer) {}
    Val eval(Exec& x) const override;
    Val* ref(Exec& x) const override;
};

struct PkgVarExpr : Expr {        // a variable of another package: PKG.G_COUNT
    const Unit* unit = nullptr;   // the package specification
    int slot = 0;
    PkgVarExpr() : Expr(ExprKind::PkgVar) {}
    Val eval(Exec& x) const override;
    Val* ref(Exec& x) const override;
};

struct FieldExpr : Expr {         // record.field
    ExprPtr base;
    int index = 0;
    FieldExpr() : Expr(ExprKind::Field) {}
    Val eval(Exec& x) const override;
    Val* ref(Exec& x) const override;
};

struct ElementExpr : Expr {       // collection(index)
    ExprPtr base, index;
    ElementExpr() : Expr(ExprKind::Element) {}
    Val eval(Exec& x) const override;
    Val* ref(Exec& x) const override;
};

enum class CollMethod { Count, First, Last, Next, Prior, Exists, Delete, Extend, Trim, Limit };

struct MethodExpr : Expr {        // collection.COUNT, .EXISTS(i), .DELETE ...
    ExprPtr base;
    CollMethod method;
    std::vector<ExprPtr> args;
    MethodExpr() : Expr(ExprKind::Method) {}
    Val eval(Exec& x) const override;
};

// A call of a stored or local subprogram. Arguments are in the callee's
// parameter order; missing ones take the parameter default.
struct CallExpr : Expr {
    const Routine* callee = nullptr;
    std::vector<ExprPtr> args;          // one per parameter, nullptr = default
    int levels = -1;                    // static link: -1 = the callee's package instance / none
    const Unit* calleeUnit = nullptr;   // unit holding the callee (package instance lookup)
    bool allInSupplied = false;         // every parameter IN and given (up to 8): the short call path
    CallExpr() : Expr(ExprKind::Call) {}
    Val eval(Exec& x) const override;
};

struct NativeCallExpr : Expr {    // DBMS_OUTPUT.PUT_LINE, DBMS_DEBUG.CONTINUE ...
    const NativeRoutine* callee = nullptr;
    std::vector<ExprPtr> args;    // one per parameter, nullptr = default
    NativeCallExpr() : Expr(ExprKind::NativeCall) {}
    Val eval(Exec& x) const override;
};

struct NativeVarExpr : Expr {     // DBMS_DEBUG.DEFAULT_TIMEOUT: a per-session variable of a native package
    std::string package, name;
    NativeVarExpr() : Expr(ExprKind::NativeVar) {}
    Val eval(Exec& x) const override;
    Val* ref(Exec& x) const override;
};

// The evaluated arguments of a built-in call (no allocation for short lists).
struct ArgSpan {
    const Val* data;
    size_t n;
    const Val& operator[](size_t i) const { return data[i]; }
    size_t size() const { return n; }
    const Val* begin() const { return data; }
    const Val* end() const { return data + n; }
};

using BuiltinFn = Val (*)(Exec&, const ArgSpan&);
struct BuiltinExpr;
using LazyBuiltinFn = Val (*)(Exec&, const BuiltinExpr&);

struct BuiltinExpr : Expr {       // SUBSTR, NVL, TO_CHAR ... (NVL, DECODE and COALESCE evaluate lazily)
    std::string name;
    BuiltinFn fn = nullptr;
    LazyBuiltinFn lazy = nullptr;
    std::vector<ExprPtr> args;
    BuiltinExpr() : Expr(ExprKind::Builtin) {}
    Val eval(Exec& x) const override;
};

struct CursorAttrExpr : Expr {    // c%FOUND, SQL%ROWCOUNT ...
    ExprPtr cursor;               // nullptr = the implicit cursor SQL
    std::string attr;
    CursorAttrExpr() : Expr(ExprKind::CursorAttr) {}
    Val eval(Exec& x) const override;
};

struct SqlCodeExpr : Expr {
    bool errm = false;
    ExprPtr code;                 // SQLERRM(n)
    SqlCodeExpr() : Expr(ExprKind::SqlCode) {}
    Val eval(Exec& x) const override;
};

struct SqlValueExpr : Expr {      // seq.NEXTVAL in an expression: one value from SQL
    std::string sql;
    SqlValueExpr() : Expr(ExprKind::SqlValue) {}
    Val eval(Exec& x) const override;
};

struct ConstructorExpr : Expr {   // t_list('a', 'b') for nested tables and varrays
    std::vector<ExprPtr> args;
    ConstructorExpr() : Expr(ExprKind::Constructor) {}
    Val eval(Exec& x) const override;
};

// ---- statements -------------------------------------------------------------------

enum class Flow { Normal, Exit, Continue, Return };

struct Stmt {
    Pos pos;
    virtual ~Stmt() = default;
    virtual Flow exec(Exec& x) const = 0;
};
using StmtPtr = std::unique_ptr<Stmt>;

struct NullStmt : Stmt {
    Flow exec(Exec&) const override { return Flow::Normal; }
};

struct AssignStmt : Stmt {
    ExprPtr target, value;
    Flow exec(Exec& x) const override;
};

struct CallStmt : Stmt {          // a procedure call (the expression is a resolved call)
    ExprPtr call;
    Flow exec(Exec& x) const override;
};

struct IfStmt : Stmt {
    std::vector<std::pair<ExprPtr, std::vector<StmtPtr>>> branches;
    std::vector<StmtPtr> otherwise;
    bool hasElse = false;
    Flow exec(Exec& x) const override;
};

struct CaseStmt : Stmt {
    ExprPtr selector;
    std::vector<std::pair<ExprPtr, std::vector<StmtPtr>>> whens;
    std::vector<StmtPtr> otherwise;
    bool hasElse = false;
    Flow exec(Exec& x) const override;
};

// Where a declared cursor lives: its declaration and how to reach the frame
// that declared it (static links from the current frame, or a package instance).
struct CursorTarget {
    const CursorDecl* decl = nullptr;
    int levels = 0;
    const Unit* pkg = nullptr;
};

enum class LoopKind { Basic, While, ForRange, ForCursor };

struct LoopStmt : Stmt {
    LoopKind loopKind = LoopKind::Basic;
    std::string label;
    ExprPtr cond;                 // WHILE
    std::string indexName;        // FOR i IN ...
    Pos indexPos;
    int indexSlot = -1;
    bool reverse = false;
    bool forall = false;          // FORALL: the body is one DML statement; SQL%ROWCOUNT adds up
    ExprPtr lo, hi;               // FOR range
    // FOR cursor: a declared cursor with arguments, or an inline SELECT
    std::unique_ptr<NameExpr> cursorName;
    CursorTarget cursor;          // resolved declared cursor
    std::vector<ExprPtr> cursorArgs;
    std::shared_ptr<struct SqlText> inlineQuery;
    const Type* rowType = nullptr;
    std::vector<StmtPtr> body;
    int endLine = 0;
    Flow exec(Exec& x) const override;
};

struct ExitStmt : Stmt {          // EXIT / CONTINUE [label] [WHEN cond]
    bool isContinue = false;
    std::string label;
    ExprPtr when;
    Flow exec(Exec& x) const override;
};

struct ReturnStmt : Stmt {
    ExprPtr value;
    const Type* returnType = nullptr;
    Flow exec(Exec& x) const override;
};

struct RaiseStmt : Stmt {
    std::unique_ptr<NameExpr> name;     // nullptr: re-raise inside a handler
    const ExceptionDecl* exception = nullptr;
    int predefinedCode = 0;             // NO_DATA_FOUND ...
    Flow exec(Exec& x) const override;
};

// Embedded SQL text: the statement as written, with INTO removed, and the
// PL/SQL names it may refer to (the SQL layer asks for those it cannot resolve).
struct SqlText {
    std::string text;
    Pos pos;
    std::vector<std::pair<std::string, ExprPtr>> names;   // dotted upper-case name -> value
    std::vector<std::string> binds;                       // :name placeholders (anonymous blocks)
    std::vector<int> bindIndex;                           // resolved bind variable indexes
    // Collection elements written in the SQL ("ids(i)"): the resolver replaces
    // their text with a bind (":PLSQL_B1") whose value the interpreter supplies.
    struct Element {
        std::string text;
        ExprPtr expr;
        std::string bind;
    };
    std::vector<Element> elements;
};

enum class SqlKind { Select, Dml, Commit, Rollback, Savepoint, Other };

struct SqlStmt : Stmt {
    SqlKind sqlKind = SqlKind::Dml;
    std::shared_ptr<SqlText> sql;
    std::vector<ExprPtr> into;          // SELECT ... INTO targets
    bool bulk = false;                  // BULK COLLECT INTO
    std::vector<ExprPtr> returning;     // DML ... RETURNING ... INTO targets (bound as :PLSQL_R1 ...)
    Flow exec(Exec& x) const override;
};

struct OpenStmt : Stmt {
    CursorTarget declared;              // a declared cursor, or
    ExprPtr cursor;                     // a cursor variable
    std::unique_ptr<NameExpr> cursorName;
    std::vector<ExprPtr> args;
    std::shared_ptr<SqlText> forQuery;  // OPEN cv FOR SELECT ...
    ExprPtr forDynamic;                 // OPEN cv FOR 'text'
    std::vector<ExprPtr> usingArgs;
    Flow exec(Exec& x) const override;
};

struct FetchStmt : Stmt {
    ExprPtr cursor;
    std::unique_ptr<NameExpr> cursorName;
    std::vector<ExprPtr> into;
    bool bulk = false;
    ExprPtr limit;
    Flow exec(Exec& x) const override;
};

struct CloseStmt : Stmt {
    ExprPtr cursor;
    std::unique_ptr<NameExpr> cursorName;
    Flow exec(Exec& x) const override;
};

struct ExecImmediateStmt : Stmt {
    ExprPtr text;
    std::vector<ExprPtr> into;
    bool bulk = false;
    struct Using {
        ExprPtr value;
        int mode = 0;   // 0 IN, 1 OUT, 2 IN OUT
    };
    std::vector<Using> usingArgs;
    Flow exec(Exec& x) const override;
};

struct BlockStmt;

// ---- declarations -----------------------------------------------------------------

struct VarDecl {
    Pos pos;
    std::string name;
    TypeSpec spec;
    const Type* type = nullptr;
    bool constant = false;
    bool notNull = false;
    ExprPtr init;
    int slot = -1;
};

struct TypeDecl {
    Pos pos;
    std::string name;
    enum class Form { Record, Table, Varray, RefCursor, Subtype } form = Form::Subtype;
    std::vector<std::pair<std::string, TypeSpec>> fields;   // record fields
    std::vector<Pos> fieldPos;
    std::vector<ExprPtr> fieldDefaults;                     // one per field, nullptr = none
    TypeSpec element;                                       // table/varray element, subtype base
    TypeSpec indexBy;                                       // INDEX BY ... (empty: nested table)
    int limit = 0;
    bool notNull = false;
    const Type* type = nullptr;
};

struct CursorParam {
    std::string name;
    TypeSpec spec;
    const Type* type = nullptr;
    ExprPtr def;
    int slot = -1;
    Pos pos;
};

struct CursorDecl {
    Pos pos;
    std::string name;
    std::vector<CursorParam> params;
    std::shared_ptr<SqlText> query;
    TypeSpec returnSpec;
    int slot = -1;        // the cursor's state lives in a slot of the declaring frame
    int level = 0;
    const Type* rowType = nullptr;
};

struct ExceptionDecl {
    Pos pos;
    std::string name;
    std::string owner;   // "DEMO.PKG" for package-level ones (messages)
    int code = 0;        // PRAGMA EXCEPTION_INIT: the Oracle number (positive, 1403 ...)
};

struct PragmaDecl {
    Pos pos;
    std::string pragma;             // EXCEPTION_INIT, AUTONOMOUS_TRANSACTION ...
    std::vector<NamePart> args;
    std::vector<std::string> rawArgs;
    int64_t number = 0;
};

enum class ParamMode { In, Out, InOut };

struct Param {
    Pos pos;
    std::string name;
    ParamMode mode = ParamMode::In;
    bool nocopy = false;
    TypeSpec spec;
    const Type* type = nullptr;
    ExprPtr def;
    int slot = -1;
};

struct Handler {
    Pos pos;
    std::vector<std::unique_ptr<NameExpr>> names;   // empty = OTHERS
    bool others = false;
    std::vector<const ExceptionDecl*> exceptions;   // resolved
    std::vector<int> codes;                          // resolved predefined codes
    std::vector<StmtPtr> body;
};

struct Decl {
    enum class K { Var, Type, Cursor, Exception, Pragma, Routine } k;
    std::unique_ptr<VarDecl> var;
    std::unique_ptr<TypeDecl> type;
    std::unique_ptr<CursorDecl> cursor;
    std::unique_ptr<ExceptionDecl> exception;
    std::unique_ptr<PragmaDecl> pragma;
    Routine* routine = nullptr;   // owned by the unit
};

// Names visible in a block, for the debugger.
struct DebugSymbol {
    std::string name;
    int slot;
    const Type* type;
};

struct Block {
    Pos pos;
    std::string label;
    std::vector<Decl> decls;
    std::vector<StmtPtr> body;
    std::vector<Handler> handlers;
    int beginLine = 0;
    int endLine = 0;
    const Block* parent = nullptr;       // enclosing block of the same routine
    std::vector<DebugSymbol> symbols;    // variables declared here
};

struct BlockStmt : Stmt {
    std::unique_ptr<Block> block;
    Flow exec(Exec& x) const override;
};

// A function or procedure: stored standalone, a package member, or nested.
struct Routine {
    Pos pos;
    std::string name;
    bool isFunction = false;
    std::vector<Param> params;
    TypeSpec returnSpec;
    const Type* returnType = nullptr;
    std::unique_ptr<Block> body;         // nullptr: a declaration only (package spec, forward)
    const Routine* definition = nullptr; // a forward/spec declaration's body
    Unit* unit = nullptr;
    const Routine* parent = nullptr;     // lexically enclosing routine (nested subprograms)
    int level = 1;                       // 0 = package level; anonymous block and stored units 1
    int slotCount = 0;
    int overload = 0;                    // ALL_ARGUMENTS.OVERLOAD (0 = not overloaded)
    int subprogramId = 1;
    bool isPublic = false;               // declared in a package specification
    const Routine* impl() const { return definition ? definition : this; }
};

// What a name stands for during compilation. Package specifications keep
// their public symbols so that other units can resolve PKG.NAME.
struct Symbol {
    enum class K { Var, Type, Cursor, Exception, Routines, Unit, Native, Builtin } k = K::Var;
    int slot = -1;
    int level = 0;                          // routine nesting level of the owner (0 = package)
    const Type* type = nullptr;
    bool readOnly = false;                  // constants, IN parameters, loop indexes
    bool isConstant = false;
    const Unit* pkgUnit = nullptr;          // set when the symbol is a package-level item
    CursorDecl* cursor = nullptr;
    ExceptionDecl* exception = nullptr;
    std::vector<Routine*> routines;         // overloads
    std::shared_ptr<const Unit> unit;
    std::string native;                     // native package name
};

// A compiled unit: a stored procedure, function, package spec + body, or an anonymous block.
struct Unit : std::enable_shared_from_this<Unit> {
    std::string owner, name;
    std::string type;                    // "PROCEDURE", "FUNCTION", "PACKAGE", "ANONYMOUS BLOCK"
    std::vector<std::unique_ptr<Routine>> routines;   // every routine, nested ones too
    Routine* main = nullptr;             // standalone unit / anonymous block
    // Packages: specification and body declarations share the instance slots.
    std::unique_ptr<Block> spec;
    std::unique_ptr<Block> body;         // declarations + initialization section
    bool hasBody = false;
    bool bodyOk = false;                 // the package body compiled without errors
    int packageSlots = 0;
    std::set<int> specLines, bodyLines; // executable lines (package: spec and body sources)
    std::set<int> lines;                 // executable lines of a standalone unit / block
    TypeArena types;
    std::map<std::string, Symbol> publicSymbols;   // package specification items
    std::vector<std::string> dependencies;   // "OWNER.NAME" of units referred to
    std::vector<std::shared_ptr<const Unit>> pinned;   // units this one calls (kept alive)
};

} // namespace sandbox::plsql
