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
#include <variant>
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
    enum class K : uint8_t { Null, Int, Num, Str, Date, Bool, Rec, Coll, Cur };

    Val() = default;
    static Val integer(int64_t i) { Val v; v.v_ = i; return v; }
    static Val number(const Number& n);                 // canonical: whole numbers become Int
    static Val str(std::string s) { Val v; if (!s.empty()) v.v_ = std::move(s); return v; }
    static Val date(DateTime d) { Val v; v.v_ = d; return v; }
    static Val boolean(bool b) { Val v; v.v_ = b; return v; }
    static Val record(RecordPtr r) { Val v; v.v_ = std::move(r); return v; }
    static Val collection(CollectionPtr c) { Val v; v.v_ = std::move(c); return v; }
    static Val cursor(CursorPtr c) { Val v; v.v_ = std::move(c); return v; }

    K kind() const { return static_cast<K>(v_.index()); }
    bool isNull() const { return v_.index() == 0; }
    bool isInt() const { return v_.index() == 1; }
    bool isNumeric() const { return v_.index() == 1 || v_.index() == 2; }

    int64_t asInt() const { return std::get<int64_t>(v_); }
    const Number& asNum() const { return std::get<Number>(v_); }
    const std::string& asStr() const { return std::get<std::string>(v_); }
    DateTime asDate() const { return std::get<DateTime>(v_); }
    bool asBool() const { return std::get<bool>(v_); }
    const RecordPtr& asRec() const { return std::get<RecordPtr>(v_); }
    const CollectionPtr& asColl() const { return std::get<CollectionPtr>(v_); }
    const CursorPtr& asCur() const { return std::get<CursorPtr>(v_); }

    // NUMBER value of a numeric value (Int or Num).
    Number toNumberExact() const { return isInt() ? Number::fromInt(asInt()) : asNum(); }

    // Deep copy of records and collections (assignment semantics); scalars copy as is.
    Val clone() const;

private:
    std::variant<std::monostate, int64_t, Number, std::string, DateTime, bool, RecordPtr, CollectionPtr, CursorPtr> v_;
};

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
Val coerce(const Val& v, const Type* t);

// Between interpreter values and the server's values (binds, SQL results).
Value toValue(const Val& v);
Val fromValue(const Value& v);

// Three-valued comparison: nullopt when either side is NULL.
std::optional<int> compare(const Val& a, const Val& b);

// The error raised for a value that violates a type (ORA-06502 with a suffix).
[[noreturn]] void throwValueError(const std::string& suffix = "");

} // namespace sandbox::plsql
