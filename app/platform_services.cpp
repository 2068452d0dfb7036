#include "app/platform_services.h"

#include "app/http_client.h"
#include "core/weblinks.h"
#include "platform/platform.h"

#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace qm {

void Services::requireComplete() const {
    const std::pair<const void*, const char*> parts[] = {{fs, "file system"}, {ini, "INI access"},
                                                         {registry, "registry"}, {dialogs, "dialogs"},
                                                         {shell, "shell"},     {launcher, "launcher"},
                                                         {clock, "clock"},     {http, "HTTP client"}};
    for (const auto& [part, name] : parts)
        if (!part) throw std::invalid_argument(std::string("The main window needs its ") + name + ".");
}

PlatformServices::PlatformServices(const std::string& registryStore)
    : fs(platform::makeFileSystem()),
      ini(platform::makeIniFiles()),
      registry(platform::makeRegistry(registryStore)),
      http(std::make_unique<QtHttpClient>()),
      launcher(std::make_unique<PlatformLauncher>()) {}

Status PlatformLauncher::startDetached(const std::string& program, const std::vector<std::string>& arguments,
                                       const std::string& workingFolder) {
    return platform::startDetached(program, arguments, workingFolder);
}

Services PlatformServices::services(Dialogs& dialogs, Shell& shell, Clock& clock) const {
    Services s;
    s.fs = fs.get();
    s.ini = ini.get();
    s.registry = registry.get();
    s.dialogs = &dialogs;
    s.shell = &shell;
    s.launcher = launcher.get();
    s.clock = &clock;
    s.http = http.get();
    s.executablePath = platform::executablePath();
    s.systemDriveRoot = platform::systemDriveRoot();
    if (const char* server = std::getenv(links::kServerVariable)) s.serverOverride = server;
    return s;
}

}  // namespace qm
