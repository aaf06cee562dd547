// open.cpp - a whole sandbox server: storage, the PL/SQL engine and, on first
// creation, the demo schema loaded through the server itself as DEMO.
#include "sandbox/boot/demo_scripts.h"
#include "sandbox/boot/sandbox.h"
#include "sandbox/plsql/plsql_engine.h"
#include "sandbox/server_impl.h"

#include <map>
#include <mutex>
#include <string_view>

namespace sandbox {

std::shared_ptr<Server> openSandbox(const std::string& path)
{
    bool created = false;
    std::shared_ptr<Server> server = ServerImpl::open(path, &created);
    server->impl().setEngine(plsql::makePlsqlEngine());
    if (created) {
        auto demo = server->logon("DEMO", "demo");
        for (const EmbeddedScript* s = embeddedDemoScripts(); s->name; ++s) {
            // A demo statement the server rejects is skipped; the rest loads.
            server->impl().runScript(*demo, std::string_view(s->text, s->size));
        }
        std::vector<BindVar> none;
        demo->execute("COMMIT", none);
    }
    return server;
}

std::shared_ptr<Server> sharedSandbox(const std::string& path)
{
    static std::mutex mutex;
    static std::map<std::string, std::weak_ptr<Server>> servers;
    std::lock_guard<std::mutex> lock(mutex);
    std::weak_ptr<Server>& slot = servers[path];
    if (std::shared_ptr<Server> s = slot.lock()) return s;
    std::shared_ptr<Server> s = openSandbox(path);
    slot = s;
    return s;
}

} // namespace sandbox
