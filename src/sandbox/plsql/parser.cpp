// parser.cpp - the recursive-descent PL/SQL parser. Each rule function opens
// with the production it parses. A syntax error records PLS-00103 and the
// parser skips to the next ';' so that later errors are found too.
#include "sandbox/plsql/parser.h"

#include "sandbox/plsql/lexer.h"

#include <stdexcept>

namespace sandbox::plsql {
namespace {

struct Abort {};   // unwinds to the nearest recovery point after an error

constexpr int kMaxNesting = 200;   // deeper nesting is refused, not recursed into

const char* const kStatementStarts =
    "begin case declare end exception exit for goto if loop mod null pragma raise return select update "
    "while with <an identifier> <a double-quoted delimited-identifier> <a bind variable> << continue close "
    "current delete fetch lock insert open rollback savepoint set sql execute commit forall merge pipe purge";
const char* const kExprStarts =
    "( - + case mod new not null <an identifier> <a double-quoted delimited-identifier> <a bind variable> "
    "continue avg count current exists max min prior sql stddev sum variance execute forall merge time "
    "timestamp interval date <a string literal with character set specification> <a number> "
    "<a single-quoted SQL string> pipe";

class Parser {
public:
    Parser(std::string_view src, ParsedSource& out) : src_(src), out_(out), toks_(tokenize(src)) {}

    void run()
    {
        try {
            const Token& t = cur();
            if (t.isWord("PROCEDURE") || t.isWord("FUNCTION")) {
                out_.kind = t.isWord("PROCEDURE") ? SourceKind::Procedure : SourceKind::Function;
                Routine* r = routineDef(true);
                out_.main = r;
                out_.name = r->name;
                expect(";");
                expectEnd();
            } else if (t.isWord("PACKAGE")) {
                next();
                bool body = acceptWord("BODY");
                out_.kind = body ? SourceKind::PackageBody : SourceKind::Package;
                qualifiedName(out_.owner, out_.name);
                skipUnitOptions();
                if (!acceptWord("IS") && !acceptWord("AS"))
                    syntax("is as");
                auto b = std::make_unique<Block>();
                b->beginLine = t.line;
                declarations(*b);
                if (body && acceptWord("BEGIN")) {
                    statementsUntil(b->body, {"EXCEPTION", "END"});
                    if (acceptWord("EXCEPTION"))
                        handlers(*b);
                }
                b->endLine = cur().line;
                expectWord("END");
                if (cur().kind == Tok::Ident || cur().kind == Tok::Quoted)
                    next();
                expect(";");
                out_.packageBlock = std::move(b);
                expectEnd();
            } else {
                out_.kind = SourceKind::Anonymous;
                auto r = newRoutine();
                r->name = "";
                r->level = 1;
                r->pos = pos();
                out_.main = r;
                curRoutine_ = r;
                r->body = block();
                expect(";");
                expectEnd();
            }
        } catch (const Abort&) {
        }
        if (!out_.main && out_.kind != SourceKind::Package && out_.kind != SourceKind::PackageBody) {
            // Keep a routine to hang errors on, so callers never see a null main.
            auto r = newRoutine();
            out_.main = r;
        }
    }

private:
    // ---- token helpers --------------------------------------------------------
    const Token& cur() const { return toks_[i_]; }
    const Token& peek(size_t k = 1) const { return toks_[std::min(i_ + k, toks_.size() - 1)]; }
    void next()
    {
        if (i_ + 1 < toks_.size())
            ++i_;
    }
    Pos pos() const { return {cur().line, cur().col}; }
    bool accept(const char* op)
    {
        if (cur().isOp(op)) {
            next();
            return true;
        }
        return false;
    }
    bool acceptWord(const char* w)
    {
        if (cur().isWord(w)) {
            next();
            return true;
        }
        return false;
    }
    void expect(const char* op)
    {
        if (!accept(op))
            syntax(op);
    }
    void expectWord(const char* w)
    {
        if (!acceptWord(w)) {
            std::string l = w;
            for (auto& c : l)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            syntax(l);
        }
    }
    void expectEnd()
    {
        // Trailing text after the unit (a "/" line included) is an error as in Oracle.
        if (cur().kind != Tok::End)
            syntax("end-of-file");
    }

    [[noreturn]] void syntax(const std::string& expecting)
    {
        error(cur(), "PLS-00103: Encountered the symbol \"" + tokenDisplay(cur()) +
                         "\" when expecting one of the following:\n\n" + wrapList(expecting),
              103);
        throw Abort{};
    }

    // The expected symbols on lines of about 64 columns, indented by three blanks.
    static std::string wrapList(const std::string& words)
    {
        std::string out, line;
        size_t p = 0;
        while (p < words.size()) {
            size_t e = words.find(' ', p);
            if (e == std::string::npos)
                e = words.size();
            std::string w = words.substr(p, e - p);
            p = e + 1;
            // "<a double-quoted delimited-identifier>" and its kind stay whole
            while (!w.empty() && w[0] == '<' && w.back() != '>' && p < words.size()) {
                size_t e2 = words.find(' ', p);
                if (e2 == std::string::npos)
                    e2 = words.size();
                w += " " + words.substr(p, e2 - p);
                p = e2 + 1;
            }
            if (!line.empty() && line.size() + 1 + w.size() > 61) {
                out += "   " + line + "\n";
                line.clear();
            }
            line += (line.empty() ? "" : " ") + w;
        }
        if (!line.empty())
            out += "   " + line + "\n";
        return out;
    }

    // END IF / END LOOP / END CASE: a missing closing word is reported, and the
    // construct is taken as closed so the enclosing block still parses.
    void expectClosing(const char* w)
    {
        if (acceptWord(w))
            return;
        std::string l = w;
        for (auto& c : l)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        error(cur(), "PLS-00103: Encountered the symbol \"" + tokenDisplay(cur()) +
                         "\" when expecting one of the following:\n\n   " + l + "\n",
              103);
    }
    void error(const Token& at, const std::string& text, int number)
    {
        // One error per position: recovery must not repeat itself.
        for (const auto& e : out_.errors)
            if (e.line == at.line && e.col == at.col)
                return;
        out_.errors.push_back({at.line, at.col, text, number});
    }

    // Skips to just after the next ';' (or to a block keyword) after an error.
    void recover()
    {
        int depth = 0;
        while (cur().kind != Tok::End) {
            if (cur().isOp("("))
                ++depth;
            else if (cur().isOp(")"))
                --depth;
            else if (cur().isOp(";") && depth <= 0) {
                next();
                return;
            }
            next();
        }
    }

    bool isIdent(const Token& t) const
    {
        return t.kind == Tok::Quoted || (t.kind == Tok::Ident && !isReservedWord(t.text));
    }
    std::string ident()
    {
        if (!isIdent(cur()))
            syntax("<an identifier> <a double-quoted delimited-identifier>");
        std::string s = cur().text;
        next();
        return s;
    }
    void qualifiedName(std::string& owner, std::string& name)
    {
        name = ident();
        if (accept(".")) {
            owner = name;
            name = ident();
        }
    }

    Routine* newRoutine()
    {
        out_.routines.push_back(std::make_unique<Routine>());
        return out_.routines.back().get();
    }

    void enter()
    {
        if (++depth_ > kMaxNesting) {
            error(cur(), "PLS-00123: program too large (Diana nodes)", 123);
            throw Abort{};
        }
    }
    struct Guard {
        Parser& p;
        ~Guard() { --p.depth_; }
    };

    // AUTHID CURRENT_USER | DEFINER, DETERMINISTIC, PIPELINED, RESULT_CACHE, PARALLEL_ENABLE
    void skipUnitOptions()
    {
        for (;;) {
            if (acceptWord("AUTHID")) {
                if (!acceptWord("CURRENT_USER") && !acceptWord("DEFINER"))
                    syntax("current_user definer");
            } else if (acceptWord("DETERMINISTIC") || acceptWord("PIPELINED") || acceptWord("PARALLEL_ENABLE")) {
            } else if (acceptWord("RESULT_CACHE")) {
                if (accept("(")) {
                    while (!cur().isOp(")") && cur().kind != Tok::End)
                        next();
                    expect(")");
                }
            } else if (cur().isWord("ACCESSIBLE")) {
                syntax("is as");
            } else {
                return;
            }
        }
    }

    // ---- routines ----------------------------------------------------------------
    // routine ::= {PROCEDURE|FUNCTION} name [(params)] [RETURN type] options [{IS|AS} decls block | ;]
    Routine* routineDef(bool stored)
    {
        Routine* r = newRoutine();
        r->pos = pos();
        r->isFunction = cur().isWord("FUNCTION");
        r->parent = curRoutine_;
        r->level = curRoutine_ ? curRoutine_->level + 1 : 1;
        Routine* saved = curRoutine_;
        struct Restore {
            Routine*& slot;
            Routine* value;
            ~Restore() { slot = value; }
        } restore{curRoutine_, saved};
        curRoutine_ = r;
        next();
        if (stored)
            qualifiedName(out_.owner, r->name);
        else
            r->name = ident();
        if (accept("(")) {
            do {
                r->params.push_back(param());
            } while (accept(","));
            expect(")");
        }
        if (r->isFunction) {
            expectWord("RETURN");
            r->returnSpec = typeSpec(false);
        }
        skipUnitOptions();
        if (!stored && cur().isOp(";"))
            return r;   // forward declaration or package specification member
        if (!acceptWord("IS") && !acceptWord("AS"))
            syntax(r->isFunction ? "return is as ; authid deterministic pipelined result_cache"
                                 : "( ; is with authid as cluster compress order using compiled wrapped external "
                                   "deterministic parallel_enable pipelined result_cache accessible");
        if (cur().isWord("LANGUAGE") || cur().isWord("EXTERNAL"))
            syntax("begin function pragma procedure subtype type <an identifier> current cursor delete exists prior");
        auto b = std::make_unique<Block>();
        b->beginLine = r->pos.line;
        declarations(*b);
        blockBody(*b);
        if (cur().kind == Tok::Ident || cur().kind == Tok::Quoted)
            next();   // END name
        r->body = std::move(b);
        return r;
    }

    // param ::= name [IN] [OUT] [NOCOPY] type [{:= | DEFAULT} expr]
    Param param()
    {
        Param p;
        p.pos = pos();
        p.name = ident();
        if (acceptWord("IN")) {
            if (acceptWord("OUT"))
                p.mode = ParamMode::InOut;
        } else if (acceptWord("OUT")) {
            p.mode = ParamMode::Out;
        }
        if (acceptWord("NOCOPY"))
            p.nocopy = true;
        p.spec = typeSpec(false);
        if (accept(":=") || acceptWord("DEFAULT"))
            p.def = expr();
        return p;
    }

    // ---- types ---------------------------------------------------------------------
    // type ::= name[.name][%TYPE|%ROWTYPE] [(p[,s])] | LONG RAW | DOUBLE PRECISION | TIMESTAMP ...
    TypeSpec typeSpec(bool allowConstraint = true)
    {
        TypeSpec t;
        t.pos = pos();
        if (cur().kind != Tok::Ident && cur().kind != Tok::Quoted)
            syntax("<an identifier> <a double-quoted delimited-identifier> LONG_ double ref char time timestamp "
                   "interval date binary national character nchar");
        t.name.push_back(cur().text);
        next();
        while (accept("."))
            t.name.push_back(ident());
        if (accept("%")) {
            if (acceptWord("TYPE"))
                t.attr = "TYPE";
            else if (acceptWord("ROWTYPE"))
                t.attr = "ROWTYPE";
            else
                syntax("type rowtype");
            return t;
        }
        const std::string& n = t.name[0];
        if (t.name.size() == 1) {
            if (n == "LONG" && acceptWord("RAW"))
                t.name[0] = "LONG RAW";
            else if (n == "DOUBLE")
                expectWord("PRECISION");
            else if (n == "CHARACTER" && acceptWord("VARYING"))
                t.name[0] = "VARCHAR2";
        }
        if (cur().isOp("(")) {
            if (!allowConstraint)
                syntax(":= . ) , @ % default character");
            next();
            t.hasConstraint = true;
            if (accept("*"))
                t.precision = 38;
            else
                t.precision = intLiteral();
            if (accept(","))
                t.scale = intLiteral(true);
            if (!acceptWord("CHAR"))
                acceptWord("BYTE");
            expect(")");
        }
        if (n == "TIMESTAMP" || n == "INTERVAL") {
            // Time zones and interval qualifiers are accepted and kept to the second.
            while (acceptWord("WITH") || acceptWord("LOCAL") || acceptWord("TIME") || acceptWord("ZONE") ||
                   acceptWord("DAY") || acceptWord("TO") || acceptWord("SECOND") || acceptWord("YEAR") ||
                   acceptWord("MONTH")) {
                if (accept("(")) {
                    intLiteral();
                    expect(")");
                }
            }
        }
        return t;
    }

    int intLiteral(bool allowSign = false)
    {
        bool neg = allowSign && accept("-");
        if (cur().kind != Tok::Number)
            syntax("<an integer>");
        int v = 0;
        try {
            v = std::stoi(cur().text);
        } catch (...) {
            syntax("<an integer>");
        }
        next();
        return neg ? -v : v;
    }

    // ---- declarations ----------------------------------------------------------------
    // decls ::= { item_decl | type_decl | cursor_decl | exception_decl | pragma | routine }
    void declarations(Block& b)
    {
        for (;;) {
            const Token& t = cur();
            if (t.isWord("BEGIN") || t.isWord("END") || t.kind == Tok::End)
                return;
            size_t start = i_;
            try {
                declaration(b);
            } catch (const Abort&) {
                if (i_ == start)
                    next();
                recover();
            }
        }
    }

    void declaration(Block& b)
    {
        const Token& t = cur();
        Decl d;
        if (t.isWord("PROCEDURE") || t.isWord("FUNCTION")) {
            d.k = Decl::K::Routine;
            d.routine = routineDef(false);
            expect(";");
        } else if (t.isWord("TYPE") || t.isWord("SUBTYPE")) {
            d.k = Decl::K::Type;
            d.type = typeDecl();
        } else if (t.isWord("CURSOR")) {
            d.k = Decl::K::Cursor;
            d.cursor = cursorDecl();
        } else if (t.isWord("PRAGMA")) {
            d.k = Decl::K::Pragma;
            d.pragma = pragmaDecl();
        } else if (isIdent(t) && peek().isWord("EXCEPTION")) {
            d.k = Decl::K::Exception;
            d.exception = std::make_unique<ExceptionDecl>();
            d.exception->pos = pos();
            d.exception->name = t.text;
            next();
            next();
            expect(";");
        } else if (isIdent(t)) {
            d.k = Decl::K::Var;
            d.var = varDecl();
        } else {
            syntax("begin function pragma procedure subtype type <an identifier> "
                   "<a double-quoted delimited-identifier> current cursor delete exists prior");
        }
        b.decls.push_back(std::move(d));
    }

    // var ::= name [CONSTANT] type [NOT NULL] [{:= | DEFAULT} expr] ;
    std::unique_ptr<VarDecl> varDecl()
    {
        auto v = std::make_unique<VarDecl>();
        v->pos = pos();
        v->name = ident();
        if (acceptWord("CONSTANT"))
            v->constant = true;
        v->spec = typeSpec();
        if (acceptWord("NOT")) {
            expectWord("NULL");
            v->notNull = true;
        }
        if (accept(":=") || acceptWord("DEFAULT"))
            v->init = expr();
        else if (cur().isOp("="))
            syntax(":= . ( @ % ; not null range default character");
        expect(";");
        return v;
    }

    // type_decl ::= TYPE name IS {RECORD (fields) | TABLE OF t [INDEX BY t] | VARRAY(n) OF t | REF CURSOR} ;
    //             | SUBTYPE name IS type [NOT NULL] ;
    std::unique_ptr<TypeDecl> typeDecl()
    {
        auto d = std::make_unique<TypeDecl>();
        bool subtype = cur().isWord("SUBTYPE");
        next();
        d->pos = pos();
        d->name = ident();
        expectWord("IS");
        if (subtype) {
            d->form = TypeDecl::Form::Subtype;
            d->element = typeSpec();
            if (acceptWord("RANGE")) {
                expr();
                expect("..");
                expr();
            }
            if (acceptWord("NOT")) {
                expectWord("NULL");
                d->notNull = true;
            }
        } else if (acceptWord("RECORD")) {
            d->form = TypeDecl::Form::Record;
            expect("(");
            do {
                d->fieldPos.push_back(pos());
                std::string f = ident();
                TypeSpec ts = typeSpec();
                if (acceptWord("NOT"))
                    expectWord("NULL");
                ExprPtr def;
                if (accept(":=") || acceptWord("DEFAULT"))
                    def = expr();
                d->fields.emplace_back(f, ts);
                d->fieldDefaults.push_back(std::move(def));
            } while (accept(","));
            expect(")");
        } else if (acceptWord("TABLE")) {
            d->form = TypeDecl::Form::Table;
            expectWord("OF");
            d->element = typeSpec();
            if (acceptWord("NOT"))
                expectWord("NULL");
            if (acceptWord("INDEX")) {
                expectWord("BY");
                d->indexBy = typeSpec();
            }
        } else if (acceptWord("VARRAY") || (cur().isWord("VARYING") && (next(), acceptWord("ARRAY")))) {
            d->form = TypeDecl::Form::Varray;
            expect("(");
            d->limit = intLiteral();
            expect(")");
            expectWord("OF");
            d->element = typeSpec();
            if (acceptWord("NOT"))
                expectWord("NULL");
        } else if (acceptWord("REF")) {
            d->form = TypeDecl::Form::RefCursor;
            expectWord("CURSOR");
            if (acceptWord("RETURN"))
                d->element = typeSpec();
        } else {
            syntax("record table varray ref");
        }
        expect(";");
        return d;
    }

    // cursor_decl ::= CURSOR name [(params)] [RETURN type] IS select ;
    std::unique_ptr<CursorDecl> cursorDecl()
    {
        next();
        auto c = std::make_unique<CursorDecl>();
        c->pos = pos();
        c->name = ident();
        if (accept("(")) {
            do {
                CursorParam p;
                p.pos = pos();
                p.name = ident();
                acceptWord("IN");
                p.spec = typeSpec(false);
                if (accept(":=") || acceptWord("DEFAULT"))
                    p.def = expr();
                c->params.push_back(std::move(p));
            } while (accept(","));
            expect(")");
        }
        if (acceptWord("RETURN"))
            c->returnSpec = typeSpec();
        if (cur().isOp(";"))
            syntax("is");   // cursor specs without a query are not supported
        expectWord("IS");
        if (!cur().isWord("SELECT") && !cur().isWord("WITH") && !cur().isOp("("))
            syntax("( select with");
        c->query = sqlText(nullptr);
        expect(";");
        return c;
    }

    // pragma ::= PRAGMA name [(args)] ;
    std::unique_ptr<PragmaDecl> pragmaDecl()
    {
        next();
        auto p = std::make_unique<PragmaDecl>();
        p->pos = pos();
        p->pragma = ident();
        if (accept("(")) {
            int depth = 1;
            std::string raw;
            while (cur().kind != Tok::End) {
                if (cur().isOp("("))
                    ++depth;
                if (cur().isOp(")") && --depth == 0)
                    break;
                if (cur().isOp(",") && depth == 1) {
                    p->rawArgs.push_back(raw);
                    raw.clear();
                } else {
                    raw += cur().kind == Tok::Number || cur().kind == Tok::Ident || cur().kind == Tok::Quoted
                               ? cur().text
                               : cur().text;
                }
                next();
            }
            p->rawArgs.push_back(raw);
            expect(")");
        }
        expect(";");
        return p;
    }

    // ---- blocks -------------------------------------------------------------------------
    // block ::= [<<label>>] [DECLARE decls] BEGIN stmts [EXCEPTION handlers] END [label]
    std::unique_ptr<Block> block()
    {
        auto b = std::make_unique<Block>();
        b->pos = pos();
        b->beginLine = cur().line;
        if (accept("<<")) {
            b->label = ident();
            expect(">>");
        }
        if (acceptWord("DECLARE"))
            declarations(*b);
        blockBody(*b);
        if (isIdent(cur()))
            next();   // END label
        return b;
    }

    void blockBody(Block& b)
    {
        if (!acceptWord("BEGIN"))
            syntax("begin function pragma procedure subtype type <an identifier> "
                   "<a double-quoted delimited-identifier> current cursor delete exists prior");
        size_t errs = out_.errors.size();
        statementsUntil(b.body, {"EXCEPTION", "END"});
        if (b.body.empty() && !cur().isWord("EXCEPTION") && errs == out_.errors.size())
            syntax(kStatementStarts);
        if (acceptWord("EXCEPTION"))
            handlers(b);
        b.endLine = cur().line;
        expectWord("END");
    }

    // handlers ::= WHEN name {OR name} THEN stmts ...
    void handlers(Block& b)
    {
        if (!cur().isWord("WHEN"))
            syntax("when");
        while (cur().isWord("WHEN")) {
            Handler h;
            h.pos = pos();
            next();
            do {
                if (acceptWord("OTHERS")) {
                    h.others = true;
                } else {
                    auto n = std::make_unique<NameExpr>();
                    n->pos = pos();
                    NamePart part;
                    part.pos = pos();
                    part.name = ident();
                    n->parts.push_back(std::move(part));
                    while (accept(".")) {
                        NamePart p2;
                        p2.pos = pos();
                        p2.name = ident();
                        n->parts.push_back(std::move(p2));
                    }
                    h.names.push_back(std::move(n));
                }
            } while (acceptWord("OR"));
            expectWord("THEN");
            size_t errs = out_.errors.size();
            statementsUntil(h.body, {"WHEN", "END"});
            if (h.body.empty() && errs == out_.errors.size())
                syntax(kStatementStarts);
            b.handlers.push_back(std::move(h));
        }
    }

    // Statements until one of the stop words (not consumed). Errors are recovered per statement.
    void statementsUntil(std::vector<StmtPtr>& out, std::initializer_list<const char*> stops)
    {
        for (;;) {
            const Token& t = cur();
            if (t.kind == Tok::End)
                return;
            for (const char* s : stops)
                if (t.isWord(s))
                    return;
            if (t.isWord("ELSIF") || t.isWord("ELSE") || (t.isWord("WHEN") && !stopsHave(stops, "WHEN")))
                return;
            size_t start = i_;
            try {
                if (auto s = statement())
                    out.push_back(std::move(s));
            } catch (const Abort&) {
                // Always make progress: an error on a block word that this
                // list does not stop at would otherwise repeat forever.
                if (i_ == start) {
                    if (cur().kind == Tok::End)
                        return;
                    next();
                }
                if (!isBlockWord(cur()))
                    recover();
            }
        }
    }
    static bool stopsHave(std::initializer_list<const char*> stops, const char* w)
    {
        for (const char* s : stops)
            if (std::string_view(s) == w)
                return true;
        return false;
    }
    static bool isBlockWord(const Token& t)
    {
        return t.isWord("END") || t.isWord("EXCEPTION") || t.isWord("ELSIF") || t.isWord("ELSE") ||
               t.isWord("WHEN") || t.kind == Tok::End;
    }

    // ---- statements ----------------------------------------------------------------------
    StmtPtr statement()
    {
        enter();
        Guard g{*this};
        const Token& t = cur();
        Pos p = pos();
        StmtPtr s;
        std::string label;
        if (t.isOp("<<")) {
            if (peek(3).isWord("DECLARE") || peek(3).isWord("BEGIN")) {
                auto bs = std::make_unique<BlockStmt>();
                bs->block = block();
                expect(";");
                bs->pos = p;
                return bs;
            }
            next();
            label = ident();
            expect(">>");
            p = pos();
            if (!cur().isWord("LOOP") && !cur().isWord("WHILE") && !cur().isWord("FOR"))
                return statement();   // a label before a plain statement (GOTO targets are not supported)
        }
        const Token& k = cur();
        if (k.isWord("NULL") && peek().isOp(";")) {
            next();
            s = std::make_unique<NullStmt>();
        } else if (k.isWord("IF")) {
            s = ifStmt();
        } else if (k.isWord("CASE")) {
            s = caseStmt();
        } else if (k.isWord("LOOP") || k.isWord("WHILE") || k.isWord("FOR")) {
            s = loopStmt(label);
        } else if (k.isWord("FORALL")) {
            s = forallStmt();
        } else if (k.isWord("EXIT") || k.isWord("CONTINUE")) {
            auto e = std::make_unique<ExitStmt>();
            e->isContinue = k.isWord("CONTINUE");
            next();
            if (isIdent(cur()))
                e->label = ident();
            if (acceptWord("WHEN"))
                e->when = expr();
            s = std::move(e);
        } else if (k.isWord("RETURN")) {
            next();
            auto r = std::make_unique<ReturnStmt>();
            if (!cur().isOp(";"))
                r->value = expr();
            s = std::move(r);
        } else if (k.isWord("RAISE")) {
            next();
            auto r = std::make_unique<RaiseStmt>();
            if (!cur().isOp(";"))
                r->name = nameChain();
            s = std::move(r);
        } else if (k.isWord("DECLARE") || k.isWord("BEGIN")) {
            auto bs = std::make_unique<BlockStmt>();
            bs->block = block();
            s = std::move(bs);
        } else if (k.isWord("SELECT") || k.isWord("WITH") || k.isWord("INSERT") || k.isWord("UPDATE") ||
                   k.isWord("DELETE") || k.isWord("MERGE") || k.isWord("LOCK") ||
                   (k.isOp("(") && peek().isWord("SELECT"))) {
            s = sqlStmt();
        } else if (k.isWord("COMMIT") || k.isWord("ROLLBACK") || k.isWord("SAVEPOINT") ||
                   (k.isWord("SET") && peek().isWord("TRANSACTION"))) {
            auto q = std::make_unique<SqlStmt>();
            q->sqlKind = k.isWord("COMMIT") ? SqlKind::Commit : k.isWord("ROLLBACK") ? SqlKind::Rollback
                                                                                      : SqlKind::Other;
            q->sql = sqlText(nullptr);
            s = std::move(q);
        } else if (k.isWord("OPEN")) {
            s = openStmt();
        } else if (k.isWord("FETCH")) {
            s = fetchStmt();
        } else if (k.isWord("CLOSE")) {
            next();
            auto c = std::make_unique<CloseStmt>();
            c->cursorName = nameChain();
            s = std::move(c);
        } else if (k.isWord("EXECUTE") && peek().isWord("IMMEDIATE")) {
            s = execImmediate();
        } else if (k.isWord("GOTO")) {
            error(k, "PLS-00999: implementation restriction (may be temporary) GOTO is not supported", 999);
            throw Abort{};
        } else if (k.kind == Tok::Bind) {
            auto a = std::make_unique<AssignStmt>();
            auto b = std::make_unique<BindExpr>();
            b->pos = pos();
            b->name = k.text;
            next();
            a->target = std::move(b);
            if (!accept(":="))
                syntax(":= . ( @ % ; indicator");
            a->value = expr();
            s = std::move(a);
        } else if (isIdent(k) || k.isWord("SQL")) {
            auto n = nameChain();
            if (accept(":=")) {
                auto a = std::make_unique<AssignStmt>();
                a->target = std::move(n);
                a->value = expr();
                s = std::move(a);
            } else {
                if (!cur().isOp(";"))
                    syntax(":= . ( @ % ;");
                auto c = std::make_unique<CallStmt>();
                c->call = std::move(n);
                s = std::move(c);
            }
        } else {
            syntax(kStatementStarts);
        }
        expect(";");
        s->pos = p;
        return s;
    }

    // IF cond THEN stmts {ELSIF cond THEN stmts} [ELSE stmts] END IF
    StmtPtr ifStmt()
    {
        auto s = std::make_unique<IfStmt>();
        next();
        for (;;) {
            ExprPtr c = expr();
            expectWord("THEN");
            std::vector<StmtPtr> body;
            size_t errs = out_.errors.size();
            statementsUntil(body, {"ELSIF", "ELSE", "END"});
            if (body.empty() && errs == out_.errors.size())
                syntax(kStatementStarts);
            s->branches.emplace_back(std::move(c), std::move(body));
            if (acceptWord("ELSIF"))
                continue;
            break;
        }
        if (acceptWord("ELSE")) {
            s->hasElse = true;
            size_t errs = out_.errors.size();
            statementsUntil(s->otherwise, {"END"});
            if (s->otherwise.empty() && errs == out_.errors.size())
                syntax(kStatementStarts);
        }
        expectWord("END");
        expectClosing("IF");
        return s;
    }

    // CASE [selector] WHEN x THEN stmts ... [ELSE stmts] END CASE [label]
    StmtPtr caseStmt()
    {
        auto s = std::make_unique<CaseStmt>();
        next();
        if (!cur().isWord("WHEN"))
            s->selector = expr();
        if (!cur().isWord("WHEN"))
            syntax("when");
        while (acceptWord("WHEN")) {
            ExprPtr c = expr();
            expectWord("THEN");
            std::vector<StmtPtr> body;
            size_t errs = out_.errors.size();
            statementsUntil(body, {"WHEN", "ELSE", "END"});
            if (body.empty() && errs == out_.errors.size())
                syntax(kStatementStarts);
            s->whens.emplace_back(std::move(c), std::move(body));
        }
        if (acceptWord("ELSE")) {
            s->hasElse = true;
            statementsUntil(s->otherwise, {"END"});
        }
        expectWord("END");
        expectClosing("CASE");
        if (isIdent(cur()))
            next();
        return s;
    }

    // [WHILE cond | FOR i IN [REVERSE] a..b | FOR r IN cursor] LOOP stmts END LOOP [label]
    StmtPtr loopStmt(const std::string& label)
    {
        auto s = std::make_unique<LoopStmt>();
        s->label = label;
        if (acceptWord("WHILE")) {
            s->loopKind = LoopKind::While;
            s->cond = expr();
        } else if (acceptWord("FOR")) {
            s->indexPos = pos();
            s->indexName = ident();
            expectWord("IN");
            if (acceptWord("REVERSE"))
                s->reverse = true;
            if (cur().isOp("(") && (peek().isWord("SELECT") || peek().isWord("WITH"))) {
                s->loopKind = LoopKind::ForCursor;
                next();
                s->inlineQuery = sqlText(nullptr);
                expect(")");
            } else {
                size_t save = i_;
                ExprPtr lo = expr();
                if (accept("..")) {
                    s->loopKind = LoopKind::ForRange;
                    s->lo = std::move(lo);
                    s->hi = expr();
                } else {
                    i_ = save;
                    s->loopKind = LoopKind::ForCursor;
                    s->cursorName = nameChain();
                }
            }
        }
        expectWord("LOOP");
        size_t errs = out_.errors.size();
        statementsUntil(s->body, {"END"});
        if (s->body.empty() && errs == out_.errors.size())
            syntax(kStatementStarts);
        s->endLine = cur().line;
        expectWord("END");
        expectClosing("LOOP");
        if (isIdent(cur()))
            next();
        return s;
    }

    // FORALL i IN lo..hi [SAVE EXCEPTIONS] {INSERT | UPDATE | DELETE | MERGE} ...
    StmtPtr forallStmt()
    {
        next();
        auto s = std::make_unique<LoopStmt>();
        s->loopKind = LoopKind::ForRange;
        s->forall = true;
        s->indexPos = pos();
        s->indexName = ident();
        expectWord("IN");
        if (cur().isWord("INDICES") || cur().isWord("VALUES")) {
            error(cur(), "PLS-00999: implementation restriction (may be temporary) FORALL ... " + cur().text +
                             " OF is not supported",
                  999);
            throw Abort{};
        }
        s->lo = expr();
        expect("..");
        s->hi = expr();
        if (acceptWord("SAVE"))
            expectWord("EXCEPTIONS");
        Pos p = pos();
        if (!cur().isWord("INSERT") && !cur().isWord("UPDATE") && !cur().isWord("DELETE") && !cur().isWord("MERGE"))
            syntax("insert update delete merge");
        StmtPtr dml = sqlStmt();
        dml->pos = p;
        s->body.push_back(std::move(dml));
        s->endLine = p.line;
        return s;
    }

    // OPEN c [(args)] | OPEN cv FOR {select | expr} [USING args]
    StmtPtr openStmt()
    {
        next();
        auto s = std::make_unique<OpenStmt>();
        s->cursorName = nameChain();
        if (acceptWord("FOR")) {
            if (cur().isWord("SELECT") || cur().isWord("WITH") || cur().isOp("("))
                s->forQuery = sqlText(nullptr);
            else
                s->forDynamic = expr();
            if (acceptWord("USING")) {
                do {
                    acceptWord("IN");
                    s->usingArgs.push_back(expr());
                } while (accept(","));
            }
        }
        return s;
    }

    // FETCH c [BULK COLLECT] INTO targets [LIMIT n]
    StmtPtr fetchStmt()
    {
        next();
        auto s = std::make_unique<FetchStmt>();
        s->cursorName = nameChain();
        if (acceptWord("BULK")) {
            expectWord("COLLECT");
            s->bulk = true;
        }
        expectWord("INTO");
        do {
            s->into.push_back(target());
        } while (accept(","));
        if (acceptWord("LIMIT"))
            s->limit = expr();
        return s;
    }

    // EXECUTE IMMEDIATE expr [[BULK COLLECT] INTO targets] [USING [IN|OUT|IN OUT] expr, ...]
    StmtPtr execImmediate()
    {
        next();
        next();
        auto s = std::make_unique<ExecImmediateStmt>();
        s->text = expr();
        if (acceptWord("BULK")) {
            expectWord("COLLECT");
            s->bulk = true;
        }
        if (acceptWord("INTO")) {
            do {
                s->into.push_back(target());
            } while (accept(","));
        }
        if (acceptWord("USING")) {
            do {
                ExecImmediateStmt::Using u;
                if (acceptWord("IN"))
                    u.mode = acceptWord("OUT") ? 2 : 0;
                else if (acceptWord("OUT"))
                    u.mode = 1;
                u.value = expr();
                s->usingArgs.push_back(std::move(u));
            } while (accept(","));
        }
        return s;
    }

    ExprPtr target()
    {
        if (cur().kind == Tok::Bind) {
            auto b = std::make_unique<BindExpr>();
            b->pos = pos();
            b->name = cur().text;
            next();
            return b;
        }
        return nameChain();
    }

    // Embedded SQL: SELECT [BULK COLLECT] INTO is cut out; the rest runs as written.
    StmtPtr sqlStmt()
    {
        auto s = std::make_unique<SqlStmt>();
        s->sqlKind = cur().isWord("SELECT") || cur().isWord("WITH") || cur().isOp("(") ? SqlKind::Select
                                                                                         : SqlKind::Dml;
        s->sql = sqlText(s.get());
        if (s->sqlKind == SqlKind::Select && s->into.empty()) {
            error(toks_[sqlStart_], "PLS-00428: an INTO clause is expected in this SELECT statement", 428);
            throw Abort{};
        }
        return s;
    }

    // Collects the SQL text up to the ';' (or the closing ')' of an inline query)
    // at nesting depth 0, with the PL/SQL names it mentions.
    std::shared_ptr<SqlText> sqlText(SqlStmt* into)
    {
        auto q = std::make_shared<SqlText>();
        q->pos = pos();
        sqlStart_ = i_;
        size_t textStart = cur().begin;
        std::string text;
        int depth = 0;
        size_t segStart = textStart;
        bool seenInto = false;
        bool seenReturning = false;
        for (;;) {
            const Token& t = cur();
            if (t.kind == Tok::End)
                syntax(";");
            if (depth == 0 && (t.isOp(";") || t.isOp(")")))
                break;
            if (t.isOp("("))
                ++depth;
            if (t.isOp(")"))
                --depth;
            if (into && depth == 0 && !seenInto && (t.isWord("INTO") || t.isWord("BULK")) && into->sqlKind == SqlKind::Select) {
                seenInto = true;
                text += std::string(src_.substr(segStart, t.begin - segStart));
                if (acceptWord("BULK")) {
                    expectWord("COLLECT");
                    into->bulk = true;
                }
                expectWord("INTO");
                do {
                    into->into.push_back(target());
                } while (accept(","));
                text += " ";
                segStart = cur().begin;
                continue;
            }
            if (into && into->sqlKind == SqlKind::Dml && depth == 0 && (t.isWord("RETURNING") || t.isWord("RETURN")))
                seenReturning = true;
            if (into && seenReturning && depth == 0 && t.isWord("INTO")) {
                // RETURNING ... INTO v1, v2: the SQL layer fills binds that stand for the targets.
                text += std::string(src_.substr(segStart, t.end - segStart));
                next();
                do {
                    into->returning.push_back(target());
                    text += (into->returning.size() > 1 ? ", :PLSQL_R" : " :PLSQL_R") +
                            std::to_string(into->returning.size());
                } while (accept(","));
                segStart = cur().begin;
                text += " ";
                continue;
            }
            if ((t.kind == Tok::Ident || t.kind == Tok::Quoted) && !(i_ > sqlStart_ && toks_[i_ - 1].isOp("."))) {
                candidate(*q);
                continue;
            }
            if (t.kind == Tok::Bind)
                q->binds.push_back(t.text);
            if (t.kind == Tok::Bad)
                syntax(";");
            next();
        }
        text += std::string(src_.substr(segStart, cur().begin - segStart));
        while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\r' || text.back() == '\t'))
            text.pop_back();
        q->text = std::move(text);
        return q;
    }

    // A dotted identifier chain inside SQL: remembered for the resolver, which
    // keeps those that name PL/SQL variables.
    void candidate(SqlText& q)
    {
        auto n = std::make_unique<NameExpr>();
        n->pos = pos();
        for (;;) {
            NamePart p;
            p.pos = pos();
            p.name = cur().text;
            n->parts.push_back(std::move(p));
            next();
            if (cur().isOp(".") && (peek().kind == Tok::Ident || peek().kind == Tok::Quoted)) {
                next();
                continue;
            }
            break;
        }
        if (cur().isOp("(") && n->parts.size() == 1 && !isReservedWord(n->parts[0].name))
            elementCandidate(q, n->pos);
        if (cur().isOp("(") || isReservedWord(n->parts[0].name))
            return;   // function calls go to the SQL layer; keywords are no names
        std::string key = n->dotted();
        for (const auto& c : q.names)
            if (c.first == key)
                return;
        q.names.emplace_back(key, std::move(n));
    }

    // "name(args)[.field]" inside SQL: a collection element if the resolver
    // finds a collection of that name, else an SQL function call. The scan
    // then goes on inside the arguments as usual.
    void elementCandidate(SqlText& q, Pos p)
    {
        size_t nameTok = i_ - 1;
        size_t resume = i_;
        size_t errs = out_.errors.size();
        i_ = nameTok;
        try {
            auto chain = nameChain();
            SqlText::Element e;
            e.text = std::string(src_.substr(toks_[nameTok].begin, toks_[i_ - 1].end - toks_[nameTok].begin));
            chain->pos = p;
            e.expr = std::move(chain);
            q.elements.push_back(std::move(e));
        } catch (const Abort&) {
        }
        out_.errors.resize(errs);
        i_ = resume;
    }

    // ---- expressions ------------------------------------------------------------------------
    ExprPtr expr()
    {
        enter();
        Guard g{*this};
        return orExpr();
    }

    ExprPtr orExpr()
    {
        ExprPtr a = andExpr();
        while (cur().isWord("OR")) {
            auto e = std::make_unique<LogicalExpr>(ExprKind::Or);
            e->pos = pos();
            next();
            e->a = std::move(a);
            e->b = andExpr();
            a = std::move(e);
        }
        return a;
    }

    ExprPtr andExpr()
    {
        ExprPtr a = notExpr();
        while (cur().isWord("AND")) {
            auto e = std::make_unique<LogicalExpr>(ExprKind::And);
            e->pos = pos();
            next();
            e->a = std::move(a);
            e->b = notExpr();
            a = std::move(e);
        }
        return a;
    }

    ExprPtr notExpr()
    {
        if (cur().isWord("NOT")) {
            enter();
            Guard g{*this};
            auto e = std::make_unique<NotExpr>();
            e->pos = pos();
            next();
            e->a = notExpr();
            return e;
        }
        return comparison();
    }

    ExprPtr comparison()
    {
        ExprPtr a = additive();
        for (;;) {
            Pos p = pos();
            const Token& t = cur();
            BinOp op;
            if (t.isOp("="))
                op = BinOp::Eq;
            else if (t.isOp("<>") || t.isOp("!=") || t.isOp("~=") || t.isOp("^="))
                op = BinOp::Ne;
            else if (t.isOp("<"))
                op = BinOp::Lt;
            else if (t.isOp("<="))
                op = BinOp::Le;
            else if (t.isOp(">"))
                op = BinOp::Gt;
            else if (t.isOp(">="))
                op = BinOp::Ge;
            else if (t.isWord("IS")) {
                next();
                auto e = std::make_unique<IsNullExpr>();
                e->pos = p;
                e->negated = acceptWord("NOT");
                expectWord("NULL");
                e->a = std::move(a);
                a = std::move(e);
                continue;
            } else {
                bool neg = false;
                size_t save = i_;
                if (t.isWord("NOT")) {
                    neg = true;
                    next();
                }
                if (acceptWord("LIKE")) {
                    auto e = std::make_unique<LikeExpr>();
                    e->pos = p;
                    e->negated = neg;
                    e->a = std::move(a);
                    e->pattern = additive();
                    if (acceptWord("ESCAPE"))
                        e->escape = additive();
                    a = std::move(e);
                    continue;
                }
                if (acceptWord("BETWEEN")) {
                    auto e = std::make_unique<BetweenExpr>();
                    e->pos = p;
                    e->negated = neg;
                    e->a = std::move(a);
                    e->lo = additive();
                    expectWord("AND");
                    e->hi = additive();
                    a = std::move(e);
                    continue;
                }
                if (acceptWord("IN")) {
                    auto e = std::make_unique<InExpr>();
                    e->pos = p;
                    e->negated = neg;
                    e->a = std::move(a);
                    expect("(");
                    do {
                        e->list.push_back(expr());
                    } while (accept(","));
                    expect(")");
                    a = std::move(e);
                    continue;
                }
                i_ = save;
                return a;
            }
            next();
            auto e = std::make_unique<BinaryExpr>();
            e->pos = p;
            e->op = op;
            e->a = std::move(a);
            e->b = additive();
            a = std::move(e);
        }
    }

    ExprPtr additive()
    {
        ExprPtr a = multiplicative();
        for (;;) {
            BinOp op;
            if (cur().isOp("+"))
                op = BinOp::Add;
            else if (cur().isOp("-"))
                op = BinOp::Sub;
            else if (cur().isOp("||"))
                op = BinOp::Concat;
            else
                return a;
            auto e = std::make_unique<BinaryExpr>();
            e->pos = pos();
            next();
            e->op = op;
            e->a = std::move(a);
            e->b = multiplicative();
            a = std::move(e);
        }
    }

    ExprPtr multiplicative()
    {
        ExprPtr a = unary();
        for (;;) {
            BinOp op;
            if (cur().isOp("*"))
                op = BinOp::Mul;
            else if (cur().isOp("/"))
                op = BinOp::Div;
            else if (cur().isWord("MOD") && !peek().isOp("(")) {
                // x MOD y is the MOD function in infix form
                auto e = std::make_unique<NameExpr>();
                e->pos = pos();
                next();
                NamePart part;
                part.pos = e->pos;
                part.name = "MOD";
                part.hasArgs = true;
                part.args.push_back({"", std::move(a), e->pos});
                part.args.push_back({"", unary(), e->pos});
                e->parts.push_back(std::move(part));
                a = std::move(e);
                continue;
            } else
                return a;
            auto e = std::make_unique<BinaryExpr>();
            e->pos = pos();
            next();
            e->op = op;
            e->a = std::move(a);
            e->b = unary();
            a = std::move(e);
        }
    }

    ExprPtr unary()
    {
        if (cur().isOp("-") || cur().isOp("+")) {
            enter();
            Guard g{*this};
            auto e = std::make_unique<UnaryExpr>();
            e->pos = pos();
            e->op = cur().text[0];
            next();
            e->a = unary();
            return e;
        }
        ExprPtr a = primary();
        if (cur().isOp("**")) {
            auto e = std::make_unique<BinaryExpr>();
            e->pos = pos();
            next();
            e->op = BinOp::Pow;
            e->a = std::move(a);
            e->b = unary();
            return e;
        }
        return a;
    }

    ExprPtr primary()
    {
        const Token& t = cur();
        Pos p = pos();
        if (t.kind == Tok::Number) {
            auto e = std::make_unique<LiteralExpr>();
            e->pos = p;
            auto n = Number::parse(t.text);
            e->value = n ? Val::number(*n) : Val();
            e->type = builtin::number();
            next();
            return e;
        }
        if (t.kind == Tok::String) {
            auto e = std::make_unique<LiteralExpr>();
            e->pos = p;
            e->value = Val::str(t.text);
            e->type = builtin::varchar2();
            next();
            return e;
        }
        if (t.kind == Tok::Bind) {
            auto e = std::make_unique<BindExpr>();
            e->pos = p;
            e->name = t.text;
            next();
            return e;
        }
        if (t.isOp("(")) {
            next();
            ExprPtr e = expr();
            expect(")");
            return e;
        }
        if (t.isWord("NULL")) {
            next();
            auto e = std::make_unique<LiteralExpr>();
            e->pos = p;
            return e;
        }
        if (t.isWord("TRUE") || t.isWord("FALSE")) {
            auto e = std::make_unique<LiteralExpr>();
            e->pos = p;
            e->value = Val::boolean(t.isWord("TRUE"));
            e->type = builtin::boolean();
            next();
            return e;
        }
        if ((t.isWord("DATE") || t.isWord("TIMESTAMP")) && peek().kind == Tok::String) {
            next();
            auto e = std::make_unique<LiteralExpr>();
            e->pos = p;
            auto d = parseDateText(cur().text);
            if (!d) {
                error(cur(), "PLS-01905: invalid date literal", 1905);
                throw Abort{};
            }
            e->value = Val::date(*d);
            e->type = builtin::date();
            next();
            return e;
        }
        if (t.isWord("CASE"))
            return caseExpr();
        if (isIdent(t) || t.isWord("SQL") || t.isWord("PRIOR") || t.isWord("EXISTS") ||
            (t.kind == Tok::Ident && (t.text == "DELETE" || t.text == "CURRENT")))
            return nameChain();
        syntax(kExprStarts);
    }

    ExprPtr caseExpr()
    {
        auto e = std::make_unique<CaseExpr>();
        e->pos = pos();
        next();
        if (!cur().isWord("WHEN"))
            e->selector = expr();
        if (!cur().isWord("WHEN"))
            syntax("when");
        while (acceptWord("WHEN")) {
            ExprPtr c = expr();
            expectWord("THEN");
            e->whens.emplace_back(std::move(c), expr());
        }
        if (acceptWord("ELSE"))
            e->otherwise = expr();
        expectWord("END");
        return e;
    }

    // name ::= part {. part} [% attr]   part ::= ident [( args )]
    std::unique_ptr<NameExpr> nameChain()
    {
        auto n = std::make_unique<NameExpr>();
        n->pos = pos();
        for (;;) {
            NamePart part;
            part.pos = pos();
            const Token& t = cur();
            if (isIdent(t) || t.kind == Tok::Ident) {
                // Reserved words are allowed after a dot (t.DELETE, c.EXISTS) and as SQL.
                if (n->parts.empty() && !isIdent(t) && !t.isWord("SQL") && !t.isWord("PRIOR") &&
                    !t.isWord("EXISTS") && !t.isWord("DELETE") && !t.isWord("CURRENT"))
                    syntax("<an identifier>");
                part.name = t.text;
                next();
            } else {
                syntax("<an identifier> <a double-quoted delimited-identifier>");
            }
            if (cur().isOp("(")) {
                next();
                part.hasArgs = true;
                if (!cur().isOp(")")) {
                    do {
                        Arg a;
                        a.pos = pos();
                        if ((cur().kind == Tok::Ident || cur().kind == Tok::Quoted) && peek().isOp("=>")) {
                            a.name = cur().text;
                            next();
                            next();
                        }
                        a.value = expr();
                        part.args.push_back(std::move(a));
                    } while (accept(","));
                }
                expect(")");
            }
            n->parts.push_back(std::move(part));
            if (cur().isOp(".")) {
                next();
                continue;
            }
            break;
        }
        if (cur().isOp("%") && peek().kind == Tok::Ident) {
            const std::string& a = peek().text;
            if (a == "FOUND" || a == "NOTFOUND" || a == "ISOPEN" || a == "ROWCOUNT" || a == "BULK_ROWCOUNT") {
                next();
                n->attr = cur().text;
                next();
            }
        }
        return n;
    }

    std::string_view src_;
    ParsedSource& out_;
    std::vector<Token> toks_;
    size_t i_ = 0;
    int depth_ = 0;
    size_t sqlStart_ = 0;
    Routine* curRoutine_ = nullptr;
};

} // namespace

std::string NameExpr::dotted() const
{
    std::string s;
    for (const auto& p : parts) {
        if (!s.empty())
            s += '.';
        s += p.name;
    }
    return s;
}

ParsedSource parseSource(std::string_view source)
{
    ParsedSource out;
    Parser(source, out).run();
    return out;
}

CreateHead scanCreateHead(std::string_view statement)
{
    CreateHead h;
    auto toks = tokenize(statement);
    size_t i = 0;
    auto word = [&](const char* w) {
        if (toks[i].isWord(w)) {
            ++i;
            return true;
        }
        return false;
    };
    if (!word("CREATE"))
        return h;
    if (word("OR") && !word("REPLACE"))
        return h;
    if (!word("EDITIONABLE"))
        word("NONEDITIONABLE");
    const Token& k = toks[i];
    h.sourceStart = k.begin;
    if (word("PROCEDURE"))
        h.kind = "PROCEDURE";
    else if (word("FUNCTION"))
        h.kind = "FUNCTION";
    else if (word("PACKAGE"))
        h.kind = word("BODY") ? "PACKAGE BODY" : "PACKAGE";
    else if (word("TRIGGER"))
        h.kind = "TRIGGER";
    else if (word("TYPE"))
        h.kind = word("BODY") ? "TYPE BODY" : "TYPE";
    else
        return h;
    auto name = [&](std::string& out) {
        if (toks[i].kind != Tok::Ident && toks[i].kind != Tok::Quoted)
            return false;
        out = toks[i].text;
        ++i;
        return true;
    };
    if (!name(h.name))
        return h;
    if (toks[i].isOp(".")) {
        ++i;
        h.owner = h.name;
        if (!name(h.name))
            return h;
    }
    h.ok = true;
    return h;
}

} // namespace sandbox::plsql
