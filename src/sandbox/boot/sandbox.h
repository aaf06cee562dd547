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

} // namespace sandbox
