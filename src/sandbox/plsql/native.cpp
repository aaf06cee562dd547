// native.cpp - the process-wide registry of native packages.
#include "sandbox/plsql/native.h"

#include <mutex>
#include <vector>

namespace sandbox::plsql {
namespace {

std::mutex& registryMutex()
{
    static std::mutex m;
    return m;
}

std::map<std::string, std::shared_ptr<NativePackage>>& registry()
{
    static std::map<std::string, std::shared_ptr<NativePackage>> r;
    return r;
}

} // namespace

void registerNativePackage(std::shared_ptr<NativePackage> pkg)
{
    std::lock_guard<std::mutex> lock(registryMutex());
    // Compiled units point into the routines of a package: a replaced
    // package stays alive for them.
    static std::vector<std::shared_ptr<NativePackage>> replaced;
    auto& slot = registry()[pkg->name()];
    if (slot)
        replaced.push_back(slot);
    slot = std::move(pkg);
}

std::shared_ptr<const NativePackage> findNativePackage(const std::string& name)
{
    std::lock_guard<std::mutex> lock(registryMutex());
    auto it = registry().find(name);
    return it == registry().end() ? nullptr : it->second;
}

} // namespace sandbox::plsql
