// The content pages (package lists); they join with their own work.
#include "app/uFormMain.h"

namespace qm {

void TFormMain::ButtonRefreshMapsClick() {}

}  // namespace qm
