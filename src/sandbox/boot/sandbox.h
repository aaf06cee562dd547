// sandbox.h - opening a whole embedded server, PL/SQL included.
#pragma once

#include "sandbox/server.h"

#include <memory>
#include <string>

namespace sandbox {

// `path` empty: a fresh in-memory server holding the demo schema, private to
// the caller. Otherwise the server lives in the SQLite database file at
// `path`, created and filled with the demo schema on first use; opening the
// same path again (in this or another process) shares it.
std::shared_ptr<Server> openSandbox(const std::string& path = {});

// The process's server for `path` (empty: the process's in-memory server):
// the one already open while anyone holds it, else a newly opened one. Every
// session of the process that names the same sandbox reaches the same server
// through it (the debugger and target sessions must).
std::shared_ptr<Server> sharedSandbox(const std::string& path = {});

} // namespace sandbox
