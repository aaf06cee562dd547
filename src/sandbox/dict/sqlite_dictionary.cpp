// sqlite_dictionary.cpp - stored units, their source, arguments and errors in
// the SYS tables. Writes run as DDL: committed at once, as Oracle does.
#include "sandbox/dict/sqlite_dictionary.h"

#include "sandbox/dict/dictionary_schema.h"
#include "sandbox/ora_error.h"
#include "sandbox/session_impl.h"
#include "sandbox/sql/formats.h"
#include "sandbox/sql/stmt.h"

namespace sandbox::dict {

using sql::Stmt;

namespace {

ObjectInfo readInfo(Stmt& s)
{
    ObjectInfo o;
    o.objectId = s.integer(0);
    o.owner = s.text(1);
    o.name = s.text(2);
    o.type = s.text(3);
    o.valid = s.text(4) == "VALID";
    return o;
}

bool hasError(const std::vector<ErrorRow>& errors)
{
    for (const ErrorRow& e : errors)
        if (e.attribute != "WARNING") return true;
    return false;
}

std::string now() { return sql::storedDate(DateTime::now()); }

} // namespace

sqlite3* SqliteDictionary::db() const { return session_.db(); }

std::optional<ObjectInfo> SqliteDictionary::findObject(const std::string& owner, const std::string& name,
                                                       const std::string& type)
{
    Stmt s(db(), "SELECT OBJECT_ID, OWNER, OBJECT_NAME, OBJECT_TYPE, STATUS FROM \"SYS.OBJ$\" "
                 "WHERE OWNER = ?1 AND OBJECT_NAME = ?2 AND OBJECT_TYPE = ?3");
    s.bind(1, owner).bind(2, name).bind(3, type);
    if (!s.step()) return std::nullopt;
    return readInfo(s);
}

std::vector<ObjectInfo> SqliteDictionary::objectsNamed(const std::string& owner, const std::string& name)
{
    Stmt s(db(), "SELECT OBJECT_ID, OWNER, OBJECT_NAME, OBJECT_TYPE, STATUS FROM \"SYS.OBJ$\" "
                 "WHERE OWNER = ?1 AND OBJECT_NAME = ?2 ORDER BY OBJECT_ID");
    s.bind(1, owner).bind(2, name);
    std::vector<ObjectInfo> r;
    while (s.step()) r.push_back(readInfo(s));
    return r;
}

void SqliteDictionary::requireUser(const std::string& user)
{
    if (!userExists(user)) throw OraError::make(1918, "user '" + user + "' does not exist");
}

int64_t SqliteDictionary::addObject(const std::string& owner, const std::string& name, const std::string& type)
{
    requireUser(owner);
    // One name per namespace: a table, a view, a sequence and a procedure
    // cannot share a name; a package and its body do.
    int ns = namespaceOf(type);
    Stmt c(db(), "SELECT OBJECT_TYPE FROM \"SYS.OBJ$\" WHERE OWNER = ?1 AND OBJECT_NAME = ?2 AND NAMESPACE = ?3");
    c.bind(1, owner).bind(2, name).bind(3, static_cast<int64_t>(ns));
    if (c.step()) throw OraError::make(955, "name is already used by an existing object");
    Stmt s(db(), "INSERT INTO \"SYS.OBJ$\" (OWNER, OBJECT_NAME, OBJECT_TYPE, CREATED, LAST_DDL_TIME, STATUS, NAMESPACE) "
                 "VALUES (?1, ?2, ?3, ?4, ?4, 'VALID', ?5)");
    s.bind(1, owner).bind(2, name).bind(3, type).bind(4, now()).bind(5, static_cast<int64_t>(ns));
    s.run();
    return sqlite3_last_insert_rowid(db());
}

void SqliteDictionary::removeObject(int64_t id)
{
    for (const char* sql : {"DELETE FROM \"SYS.SOURCE$\" WHERE OBJ_ID = ?1", "DELETE FROM \"SYS.ARGUMENT$\" WHERE OBJ_ID = ?1",
                            "DELETE FROM \"SYS.ERROR$\" WHERE OBJ_ID = ?1", "DELETE FROM \"SYS.SEQ$\" WHERE OBJ_ID = ?1",
                            "DELETE FROM \"SYS.OBJ$\" WHERE OBJECT_ID = ?1"}) {
        Stmt s(db(), sql);
        s.bind(1, id).run();
    }
}

void SqliteDictionary::touchObject(int64_t id)
{
    Stmt s(db(), "UPDATE \"SYS.OBJ$\" SET LAST_DDL_TIME = ?2 WHERE OBJECT_ID = ?1");
    s.bind(1, id).bind(2, now()).run();
}

void SqliteDictionary::writeErrors(int64_t id, const std::vector<ErrorRow>& errors)
{
    Stmt d(db(), "DELETE FROM \"SYS.ERROR$\" WHERE OBJ_ID = ?1");
    d.bind(1, id).run();
    Stmt s(db(), "INSERT INTO \"SYS.ERROR$\" (OBJ_ID, SEQUENCE, LINE, POSITION, TEXT, ATTRIBUTE, MESSAGE_NUMBER) "
                 "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    int64_t seq = 1;
    for (const ErrorRow& e : errors) {
        s.reset();
        s.bind(1, id).bind(2, seq++).bind(3, static_cast<int64_t>(e.line)).bind(4, static_cast<int64_t>(e.position));
        s.bind(5, e.text.empty() ? std::string(" ") : e.text).bindOrNull(6, e.attribute);
        s.bind(7, static_cast<int64_t>(e.messageNumber));
        s.run();
    }
    Stmt st(db(), "UPDATE \"SYS.OBJ$\" SET STATUS = ?2 WHERE OBJECT_ID = ?1");
    st.bind(1, id).bind(2, std::string(hasError(errors) ? "INVALID" : "VALID")).run();
}

ObjectInfo SqliteDictionary::storeUnit(const std::string& owner, const std::string& name, const std::string& type,
                                       const std::vector<std::string>& lines,
                                       const std::vector<ArgumentRow>& arguments,
                                       const std::vector<ErrorRow>& errors)
{
    ObjectInfo info;
    session_.runDdl([&] {
        std::optional<ObjectInfo> old = findObject(owner, name, type);
        int64_t id;
        if (old) {
            id = old->objectId;   // CREATE OR REPLACE keeps the object's id
            touchObject(id);
            for (const char* sql : {"DELETE FROM \"SYS.SOURCE$\" WHERE OBJ_ID = ?1",
                                    "DELETE FROM \"SYS.ARGUMENT$\" WHERE OBJ_ID = ?1"}) {
                Stmt s(db(), sql);
                s.bind(1, id).run();
            }
        } else {
            id = addObject(owner, name, type);
        }
        Stmt src(db(), "INSERT INTO \"SYS.SOURCE$\" (OBJ_ID, LINE, TEXT) VALUES (?1, ?2, ?3)");
        int64_t line = 1;
        for (const std::string& l : lines) {
            src.reset();
            src.bind(1, id).bind(2, line++).bindOrNull(3, l);
            src.run();
        }
        Stmt arg(db(), "INSERT INTO \"SYS.ARGUMENT$\" (OBJ_ID, ROW_NO, OBJECT_NAME, PACKAGE_NAME, OVERLOAD, "
                       "SUBPROGRAM_ID, ARGUMENT_NAME, POSITION, SEQUENCE, DATA_LEVEL, DATA_TYPE, DEFAULTED, IN_OUT, "
                       "DATA_LENGTH, DATA_PRECISION, DATA_SCALE, TYPE_OWNER, TYPE_NAME, TYPE_SUBNAME, PLS_TYPE) "
                       "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, ?20)");
        int64_t row = 1;
        for (const ArgumentRow& a : arguments) {
            arg.reset();
            arg.bind(1, id).bind(2, row++).bindOrNull(3, a.objectName).bindOrNull(4, a.packageName);
            arg.bindOrNull(5, a.overload).bind(6, static_cast<int64_t>(a.subprogramId)).bindOrNull(7, a.argumentName);
            arg.bind(8, static_cast<int64_t>(a.position)).bind(9, static_cast<int64_t>(a.sequence));
            arg.bind(10, static_cast<int64_t>(a.dataLevel)).bindOrNull(11, a.dataType).bindOrNull(12, a.defaulted);
            arg.bindOrNull(13, a.inOut).bind(14, a.dataLength).bind(15, a.dataPrecision).bind(16, a.dataScale);
            arg.bindOrNull(17, a.typeOwner).bindOrNull(18, a.typeName).bindOrNull(19, a.typeSubname);
            arg.bindOrNull(20, a.plsType);
            arg.run();
        }
        writeErrors(id, errors);
        info = *findObject(owner, name, type);
    });
    return info;
}

void SqliteDictionary::setCompileResult(const std::string& owner, const std::string& name, const std::string& type,
                                        const std::vector<ErrorRow>& errors)
{
    session_.runDdl([&] {
        std::optional<ObjectInfo> o = findObject(owner, name, type);
        if (!o) throw OraError::make(4043, "object " + name + " does not exist");
        touchObject(o->objectId);
        writeErrors(o->objectId, errors);
    });
}

void SqliteDictionary::setStatus(int64_t objectId, bool valid)
{
    session_.runDdl([&] {
        Stmt s(db(), "UPDATE \"SYS.OBJ$\" SET STATUS = ?2 WHERE OBJECT_ID = ?1");
        s.bind(1, objectId).bind(2, std::string(valid ? "VALID" : "INVALID")).run();
    });
}

void SqliteDictionary::dropObject(const std::string& owner, const std::string& name, const std::string& type)
{
    session_.runDdl([&] {
        std::optional<ObjectInfo> o = findObject(owner, name, type);
        if (!o) throw OraError::make(4043, "object " + name + " does not exist");
        removeObject(o->objectId);
    });
}

std::vector<std::string> SqliteDictionary::sourceLines(const std::string& owner, const std::string& name,
                                                       const std::string& type)
{
    Stmt s(db(), "SELECT S.TEXT FROM \"SYS.SOURCE$\" S JOIN \"SYS.OBJ$\" O ON O.OBJECT_ID = S.OBJ_ID "
                 "WHERE O.OWNER = ?1 AND O.OBJECT_NAME = ?2 AND O.OBJECT_TYPE = ?3 ORDER BY S.LINE");
    s.bind(1, owner).bind(2, name).bind(3, type);
    std::vector<std::string> r;
    while (s.step()) r.push_back(s.text(0));
    return r;
}

bool SqliteDictionary::userExists(const std::string& user)
{
    Stmt s(db(), "SELECT 1 FROM \"SYS.USER$\" WHERE NAME = ?1");
    s.bind(1, user);
    return s.step();
}

} // namespace sandbox::dict
