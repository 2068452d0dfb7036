// Placeholder until the POSIX half lands.
#include "platform/platform.h"

namespace qm::platform {
std::unique_ptr<Registry> makeRegistry(const std::string&) { return nullptr; }
}  // namespace qm::platform
