// SandboxDriver: the driver for the embedded sandbox server.
//
// "sandbox" (or an empty server name) is one in-memory server per process,
// holding the demo schema: every session of the process that connects to it
// sees the same data, as two sessions of one Oracle database do.
// "sandbox:PATH" is the server stored in the SQLite file PATH, shared per path.
#pragma once

#include "db/Driver.h"

namespace db {

class SandboxDriver : public Driver {
public:
    std::unique_ptr<DriverSession> connect(const std::string& user, const std::string& password,
                                           const std::string& server) override;

    // Forgets the process's in-memory server, so the next connect starts from
    // a fresh demo schema. For tests; sessions already open keep the old one.
    static void ResetServers();
};

} // namespace db
