#pragma once
// The real file system, INI access and registry store, owned together, and
// the window's world built over them. The program, the GUI tests and the
// benchmarks all wire their windows through it; the tests and benchmarks
// bring scripted dialogs, a recording shell and a fixed clock.
#include <memory>
#include <string>

#include "app/services.h"
#include "core/filesystem.h"
#include "core/inifile.h"
#include "core/registry.h"

namespace qm {

class PlatformServices {
public:
    // `registryStore`: the settings store (POSIX); ignored on Windows.
    explicit PlatformServices(const std::string& registryStore);

    // Every service wired: these parts, the given seams, and the program's
    // own executable and the system drive as the platform reports them.
    Services services(Dialogs& dialogs, Shell& shell, Clock& clock) const;

    std::unique_ptr<FileSystem> fs;
    std::unique_ptr<IniFiles> ini;
    std::unique_ptr<Registry> registry;
};

}  // namespace qm
