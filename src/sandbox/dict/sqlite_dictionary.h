// sqlite_dictionary.h - the Dictionary the PL/SQL engine stores units in,
// kept in the SYS tables behind ALL_OBJECTS, ALL_SOURCE, ALL_ARGUMENTS and
// ALL_ERRORS, on the connection of one session.
#pragma once

#include "sandbox/engine.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace sandbox {
class SessionImpl;
}

namespace sandbox::dict {

class SqliteDictionary : public Dictionary {
public:
    explicit SqliteDictionary(SessionImpl& session) : session_(session) {}

    std::optional<ObjectInfo> findObject(const std::string& owner, const std::string& name,
                                         const std::string& type) override;
    std::vector<ObjectInfo> objectsNamed(const std::string& owner, const std::string& name) override;
    ObjectInfo storeUnit(const std::string& owner, const std::string& name, const std::string& type,
                         const std::vector<std::string>& sourceLines, const std::vector<ArgumentRow>& arguments,
                         const std::vector<ErrorRow>& errors) override;
    void setCompileResult(const std::string& owner, const std::string& name, const std::string& type,
                          const std::vector<ErrorRow>& errors) override;
    void setStatus(int64_t objectId, bool valid) override;
    void dropObject(const std::string& owner, const std::string& name, const std::string& type) override;
    std::vector<std::string> sourceLines(const std::string& owner, const std::string& name,
                                         const std::string& type) override;
    bool userExists(const std::string& user) override;

    // Helpers for the session's own DDL (inside SessionImpl::runDdl).
    // Adds an ALL_OBJECTS row; ORA-00955 when the name is taken in its namespace.
    int64_t addObject(const std::string& owner, const std::string& name, const std::string& type);
    void removeObject(int64_t objectId);
    void touchObject(int64_t objectId);
    // Throws ORA-01918 when the user does not exist.
    void requireUser(const std::string& user);

private:
    void writeErrors(int64_t objectId, const std::vector<ErrorRow>& errors);
    sqlite3* db() const;

    SessionImpl& session_;
};

} // namespace sandbox::dict
