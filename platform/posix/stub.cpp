// Placeholder until the POSIX half lands.
#include "platform/platform.h"

namespace qm::platform {
}  // namespace qm::platform
