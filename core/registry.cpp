#include "registry.h"

namespace qm {

std::string invalidDataTypeText(const std::string& name) { return "Invalid data type for '" + name + "'"; }
std::string failedToGetText(const std::string& name) { return "Failed to get data for '" + name + "'"; }
std::string failedToSetText(const std::string& name) { return "Failed to set data for '" + name + "'"; }

}  // namespace qm
