#pragma once
// The real file system, INI access, registry store, HTTP client and
// launcher, owned together, and the window's world built over them. The
// program, the GUI tests and the
// benchmarks all wire their windows through it; the tests and benchmarks
// bring scripted dialogs, a recording shell and a fixed clock.
#include <memory>
#include <string>

#include "app/services.h"
#include "core/filesystem.h"
#include "core/inifile.h"
#include "core/registry.h"

namespace qm {

// Starts programs detached with the platform's own means.
class PlatformLauncher : public Launcher {
public:
    Status startDetached(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& workingFolder) override;
};

class PlatformServices {
public:
    // `registryStore`: the settings store (POSIX); ignored on Windows.
    explicit PlatformServices(const std::string& registryStore);

    // Every service wired: these parts, the given seams, the program's own
    // executable and the system drive as the platform reports them, and the
    // server that replaces the maker's (QUILLMERE_SERVER).
    Services services(Dialogs& dialogs, Shell& shell, Clock& clock) const;

    std::unique_ptr<FileSystem> fs;
    std::unique_ptr<IniFiles> ini;
    std::unique_ptr<Registry> registry;
    std::unique_ptr<HttpClient> http;
    std::unique_ptr<Launcher> launcher;
};

}  // namespace qm
