#include "app/platform_services.h"

#include "platform/platform.h"

#include <stdexcept>
#include <utility>

namespace qm {

void Services::requireComplete() const {
    const std::pair<const void*, const char*> parts[] = {{fs, "file system"}, {ini, "INI access"},
                                                         {registry, "registry"}, {dialogs, "dialogs"},
                                                         {shell, "shell"},     {clock, "clock"}};
    for (const auto& [part, name] : parts)
        if (!part) throw std::invalid_argument(std::string("The main window needs its ") + name + ".");
}

PlatformServices::PlatformServices(const std::string& registryStore)
    : fs(platform::makeFileSystem()),
      ini(platform::makeIniFiles()),
      registry(platform::makeRegistry(registryStore)) {}

Services PlatformServices::services(Dialogs& dialogs, Shell& shell, Clock& clock) const {
    Services s;
    s.fs = fs.get();
    s.ini = ini.get();
    s.registry = registry.get();
    s.dialogs = &dialogs;
    s.shell = &shell;
    s.clock = &clock;
    s.executablePath = platform::executablePath();
    s.systemDriveRoot = platform::systemDriveRoot();
    return s;
}

}  // namespace qm
