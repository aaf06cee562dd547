// Driver: choosing the driver that serves a server name.
#include "db/Driver.h"

#include "db/OraError.h"
#include "db/SandboxDriver.h"

#include <cctype>

namespace db {
namespace {

// Stands in for the OCI driver in a build without one: every name it gets is
// one the sandbox does not serve, so it cannot be resolved.
class UnresolvedServerDriver : public Driver {
public:
    std::unique_ptr<DriverSession> connect(const std::string&, const std::string&,
                                           const std::string& server) override
    {
        throw EOraError::Make(12154,
            "TNS:could not resolve the connect identifier specified\n"
            "(\"" + server + "\": this build connects only to the embedded server; "
            "use \"sandbox\" or \"sandbox:PATH\")");
    }
};

bool startsWithNoCase(const std::string& s, const char* prefix)
{
    size_t i = 0;
    for (; prefix[i]; ++i)
        if (i >= s.size() || std::tolower(static_cast<unsigned char>(s[i])) != prefix[i])
            return false;
    return true;
}

} // namespace

bool IsSandboxServer(const std::string& server)
{
    if (server.empty())
        return true;
    if (!startsWithNoCase(server, "sandbox"))
        return false;
    return server.size() == 7 || server[7] == ':';
}

std::shared_ptr<Driver> DriverForServer(const std::string& server)
{
    if (IsSandboxServer(server))
        return std::make_shared<SandboxDriver>();
    return std::make_shared<UnresolvedServerDriver>();
}

} // namespace db
