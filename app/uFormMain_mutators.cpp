// Mutator import with the game's tool.
#include "app/uFormMain.h"

namespace qm {

void TFormMain::ExportDotUToUTCache(const std::string&) {}

}  // namespace qm
