// rval.h - the values the interpreter computes with. Numbers that are whole
// and fit 64 bits are kept as integers (the fast path of loops and counters);
// any other NUMBER is a sandbox::Number. Records and collections have value
// semantics: assignment copies them.
#pragma once

#include "sandbox/plsql/types.h"
#include "sandbox/value.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <new>
#include <vector>

namespace sandbox::plsql {

class Val;
struct Record;
struct Collection;
struct CursorState;

using RecordPtr = std::shared_ptr<Record>;
using CollectionPtr = std::shared_ptr<Collection>;
using CursorPtr = std::shared_ptr<CursorState>;

class Val {
public:
    enum class K : uint8_t { Null, Int, Num, Date, Bool, Str, Rec, Coll, Cur };

    Val() { u_.i = 0; }
    Val(const Val& o) : k_(o.k_) { copyFrom(o); }
    Val(Val&& o) noexcept : k_(o.k_) { moveFrom(std::move(o)); }
    Val& operator=(const Val& o)
    {
        if (this != &o) {
            if (trivial() && o.trivial()) {
                copyPlain(o);
                k_ = o.k_;
            } else {
                Val t(o);
                reset();
                k_ = t.k_;
                moveFrom(std::move(t));
            }
        }
        return *this;
    }
    Val& operator=(Val&& o) noexcept
    {
        if (this != &o) {
            reset();
            k_ = o.k_;
            moveFrom(std::move(o));
        }
        return *this;
    }
    ~Val() { reset(); }

    static Val integer(int64_t i) { Val v; v.k_ = K::Int; v.u_.i = i; return v; }
    static Val number(const Number& n);                 // canonical: whole numbers become Int
    static Val str(std::string s)
    {
        Val v;
        if (!s.empty()) {
            new (&v.u_.s) std::string(std::move(s));
            v.k_ = K::Str;
        }
        return v;
    }
    static Val date(DateTime d) { Val v; v.k_ = K::Date; v.u_.d = d; return v; }
    static Val boolean(bool b) { Val v; v.k_ = K::Bool; v.u_.i = b ? 1 : 0; return v; }
    static Val record(RecordPtr r) { Val v; new (&v.u_.rec) RecordPtr(std::move(r)); v.k_ = K::Rec; return v; }
    static Val collection(CollectionPtr c) { Val v; new (&v.u_.coll) CollectionPtr(std::move(c)); v.k_ = K::Coll; return v; }
    static Val cursor(CursorPtr c) { Val v; new (&v.u_.cur) CursorPtr(std::move(c)); v.k_ = K::Cur; return v; }

    K kind() const { return k_; }
    bool isNull() const { return k_ == K::Null; }
    bool isInt() const { return k_ == K::Int; }
    bool isNumeric() const { return k_ == K::Int || k_ == K::Num; }

    int64_t asInt() const { return u_.i; }
    const Number& asNum() const { return u_.n; }
    const std::string& asStr() const { return u_.s; }
    DateTime asDate() const { return u_.d; }
    bool asBool() const { return u_.i != 0; }
    const RecordPtr& asRec() const { return u_.rec; }
    const CollectionPtr& asColl() const { return u_.coll; }
    const CursorPtr& asCur() const { return u_.cur; }

    // NUMBER value of a numeric value (Int or Num).
    Number toNumberExact() const { return isInt() ? Number::fromInt(asInt()) : asNum(); }

    // Deep copy of records and collections (assignment semantics); scalars copy as is.
    Val clone() const;

private:
    // Null, numbers, dates and booleans are plain bytes; strings and the
    // shared composites need their constructors and destructors.
    bool trivial() const { return k_ < K::Str; }
    union U {
        U() {}
        ~U() {}
        int64_t i;
        DateTime d;
        Number n;
        std::string s;
        RecordPtr rec;
        CollectionPtr coll;
        CursorPtr cur;
    } u_;
    K k_ = K::Null;

    // Copies only the bytes the kind uses: whole 32-byte copies of a value
    // whose 8 bytes were just written stall the store buffer.
    void copyPlain(const Val& o)
    {
        if (o.k_ == K::Num)
            u_.n = o.u_.n;
        else
            u_.i = o.u_.i;
    }
    void reset()
    {
        if (!trivial())
            destroy();
        k_ = K::Null;
    }
    void destroy()
    {
        switch (k_) {
        case K::Str: u_.s.~basic_string(); break;
        case K::Rec: u_.rec.~RecordPtr(); break;
        case K::Coll: u_.coll.~CollectionPtr(); break;
        case K::Cur: u_.cur.~CursorPtr(); break;
        default: break;
        }
    }
    void copyFrom(const Val& o)
    {
        if (o.trivial()) {
            copyPlain(o);
            return;
        }
        switch (o.k_) {
        case K::Str: new (&u_.s) std::string(o.u_.s); break;
        case K::Rec: new (&u_.rec) RecordPtr(o.u_.rec); break;
        case K::Coll: new (&u_.coll) CollectionPtr(o.u_.coll); break;
        case K::Cur: new (&u_.cur) CursorPtr(o.u_.cur); break;
        default: copyPlain(o); break;
        }
    }
    void moveFrom(Val&& o)
    {
        if (o.trivial()) {
            copyPlain(o);
            return;
        }
        switch (o.k_) {
        case K::Str: new (&u_.s) std::string(std::move(o.u_.s)); break;
        case K::Rec: new (&u_.rec) RecordPtr(std::move(o.u_.rec)); break;
        case K::Coll: new (&u_.coll) CollectionPtr(std::move(o.u_.coll)); break;
        case K::Cur: new (&u_.cur) CursorPtr(std::move(o.u_.cur)); break;
        default: copyPlain(o); break;
        }
    }
};

static_assert(sizeof(DateTime) == sizeof(int64_t), "Val copies a DATE as its 8 bytes");

struct Record {
    const Type* type = nullptr;
    std::vector<Val> fields;
};

// Key of a collection element: integer index or VARCHAR2 key.
struct CollKey {
    int64_t i = 0;
    std::string s;
    bool operator<(const CollKey& o) const { return s.empty() && o.s.empty() ? i < o.i : (s != o.s ? s < o.s : i < o.i); }
    bool operator==(const CollKey& o) const { return i == o.i && s == o.s; }
};

struct Collection {
    const Type* type = nullptr;
    bool initialized = true;           // false: an atomically null nested table / varray
    std::map<CollKey, Val> items;
};

// A fresh value of a type: NULL for scalars, an empty record with NULL fields,
// an empty (for associative arrays) or atomically null collection.
Val defaultValue(const Type* t);

// ---- conversions ----------------------------------------------------------------

// Text form as Oracle converts implicitly (TM numbers, DD-MON-RR dates, TRUE/FALSE).
std::string toText(const Val& v);
// NUMBER from a value: strings are parsed (ORA-06502 character to number
// conversion error). NULL gives nullopt.
std::optional<Number> toNumber(const Val& v);
// 64-bit integer from a numeric value, rounded as Oracle does when a whole
// number is needed (loop bounds, indexes, SUBSTR positions).
std::optional<int64_t> toInt(const Val& v);
// DATE from a value: strings in DD-MON-RR, DD-MON-YYYY or YYYY-MM-DD [HH24:MI:SS] (ORA-01858 otherwise).
std::optional<DateTime> toDate(const Val& v);
std::optional<DateTime> parseDateText(const std::string& s);

// Converts `v` for storage into a variable of type `t`: constraints checked
// (ORA-06502 buffer too small / precision, ORA-01426 for PLS_INTEGER), NUMBER(p,s)
// rounded, CHAR padded, strings parsed as numbers or dates.
Val coerceValue(const Val& v, const Type* t);
inline Val coerce(const Val& v, const Type* t)
{
    // Whole numbers into unconstrained numeric types: nothing to convert.
    if (v.isInt() && t && t->minValue == 0 && t->maxValue == 0) {
        if (t->kind == TypeKind::PlsInteger) {
            if (v.asInt() <= 2147483647LL && v.asInt() >= -2147483648LL)
                return v;
        } else if ((t->kind == TypeKind::Number && t->precision < 0) || t->kind == TypeKind::Integer) {
            return v;
        }
    }
    return coerceValue(v, t);
}

// Between interpreter values and the server's values (binds, SQL results).
Value toValue(const Val& v);
Val fromValue(const Value& v);

// Three-valued comparison: nullopt when either side is NULL.
std::optional<int> compare(const Val& a, const Val& b);

// The error raised for a value that violates a type (ORA-06502 with a suffix).
[[noreturn]] void throwValueError(const std::string& suffix = "");

} // namespace sandbox::plsql
