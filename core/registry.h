#pragma once
// A typed hierarchical key-value store with the Windows registry's paths,
// types and failure cases. Read failures raise qm::Error with the texts
// "Invalid data type for '%s'", "Failed to get data for '%s'" and
// "Failed to set data for '%s'".
#include <cstdint>
#include <memory>
#include <string>

namespace qm {

enum class RegRoot { LocalMachine, ClassesRoot };

// The three read access levels tried in turn when opening for reading.
enum class RegAccess { Read, QueryAndEnumerate, QueryValue };

class RegKey {
public:
    virtual ~RegKey() = default;  // closes the key
    virtual bool valueExists(const std::string& name) = 0;
    // An empty name is the key's default (unnamed) value.
    virtual int32_t readInteger(const std::string& name) = 0;
    // REG_SZ and REG_EXPAND_SZ; a missing value reads as "".
    virtual std::string readString(const std::string& name) = 0;
    virtual void writeInteger(const std::string& name, int32_t value) = 0;
    virtual void writeString(const std::string& name, const std::string& value) = 0;
};

class Registry {
public:
    virtual ~Registry() = default;
    // Never creates; nullptr when the key is missing or refused.
    virtual std::unique_ptr<RegKey> openForReading(RegRoot root, const std::string& path, RegAccess access) = 0;
    // Full access, creating the key and missing parents; nullptr on refusal.
    virtual std::unique_ptr<RegKey> openOrCreate(RegRoot root, const std::string& path) = 0;
};

std::string invalidDataTypeText(const std::string& name);
std::string failedToGetText(const std::string& name);
std::string failedToSetText(const std::string& name);

}  // namespace qm
