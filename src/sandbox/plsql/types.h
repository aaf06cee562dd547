// types.h - PL/SQL data types as the compiler sees them: scalars with their
// constraints, records, collections, cursors and exceptions.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace sandbox::plsql {

enum class TypeKind {
    Unknown,        // not yet known (error recovery) or "any" for native parameters
    Number,         // NUMBER[(p[,s])], FLOAT, DECIMAL ...
    Integer,        // INTEGER / INT / SMALLINT: NUMBER(38) holding whole numbers
    PlsInteger,     // PLS_INTEGER, BINARY_INTEGER, NATURAL, POSITIVE ...
    Varchar2,       // VARCHAR2, VARCHAR, STRING, NVARCHAR2, LONG, CLOB
    Char,           // CHAR, NCHAR: blank-padded
    Date,           // DATE, TIMESTAMP (to the second)
    Boolean,
    Record,
    AssocArray,     // TABLE OF x INDEX BY ...
    NestedTable,    // TABLE OF x
    Varray,         // VARRAY(n) OF x
    RefCursor,      // SYS_REFCURSOR and REF CURSOR types
};

struct Type;
struct Expr;

struct Field {
    std::string name;      // upper case
    const Type* type = nullptr;
    const Expr* init = nullptr;   // the field's default (":= expr" in the record type), evaluated per variable
};

struct Type {
    TypeKind kind = TypeKind::Unknown;
    std::string name;              // declared name for user types ("T_EMP_REC"), built-in name otherwise
    std::string owner, package;    // where a user type is declared (for ALL_ARGUMENTS)
    int precision = -1;            // NUMBER precision / string length (chars); -1 = none
    int scale = -1;                // NUMBER scale
    bool notNull = false;          // NATURALN, POSITIVEN ...
    long long minValue = 0, maxValue = 0;  // PLS_INTEGER subtypes range (both 0 = none)
    std::vector<Field> fields;     // records
    const Type* element = nullptr; // collections
    bool indexByString = false;    // associative arrays indexed by VARCHAR2
    int limit = 0;                 // varray size limit
    std::string rowtypeOf;         // %ROWTYPE source (table or cursor name) for ALL_ARGUMENTS

    bool isNumeric() const { return kind == TypeKind::Number || kind == TypeKind::Integer || kind == TypeKind::PlsInteger; }
    bool isString() const { return kind == TypeKind::Varchar2 || kind == TypeKind::Char; }
    bool isScalar() const { return kind >= TypeKind::Number && kind <= TypeKind::Boolean; }
    bool isCollection() const
    {
        return kind == TypeKind::AssocArray || kind == TypeKind::NestedTable || kind == TypeKind::Varray;
    }
    int fieldIndex(const std::string& upperName) const
    {
        for (size_t i = 0; i < fields.size(); ++i)
            if (fields[i].name == upperName)
                return static_cast<int>(i);
        return -1;
    }
};

// The shared instances of the unconstrained built-in types.
namespace builtin {
const Type* unknown();
const Type* number();
const Type* integer();
const Type* plsInteger();
const Type* varchar2();
const Type* charType();
const Type* date();
const Type* boolean();
const Type* refCursor();
} // namespace builtin

// Owns the types a compilation unit declares or constrains.
class TypeArena {
public:
    Type* make(TypeKind k)
    {
        types_.push_back(std::make_unique<Type>());
        types_.back()->kind = k;
        return types_.back().get();
    }
    Type* copy(const Type& t)
    {
        types_.push_back(std::make_unique<Type>(t));
        return types_.back().get();
    }

private:
    std::vector<std::unique_ptr<Type>> types_;
};

// Whether a value of type `from` may be assigned to `to` (with Oracle's
// implicit conversions between scalars). Used for PLS-00382.
bool assignable(const Type* to, const Type* from);

// "NUMBER", "VARCHAR2(20)", "EMP%ROWTYPE" ... for messages and the debugger.
std::string typeDisplay(const Type* t);

} // namespace sandbox::plsql
