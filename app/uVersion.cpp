#include "app/uVersion.h"

#include <QFileInfo>

#include "core/version.h"

namespace qm {

namespace {

std::string valueOf(const std::optional<version::Resource>& resource, const std::string& valueName) {
    if (!resource) return "0.0.0.0";
    return resource->findTranslatedString(valueName).value_or(std::string());
}

}  // namespace

std::string GetVersionInfoValue(const std::string& fileName, const std::string& valueName) {
    return valueOf(platform::readVersionResource(fileName), valueName);
}

bool GetFileVersion(const std::string& fileName, int32_t& major, int32_t& minor, int32_t& release, int32_t& build,
                    std::string& specialBuild) {
    major = minor = release = build = 0;
    specialBuild.clear();
    if (!QFileInfo(QString::fromStdString(fileName)).isFile()) return false;

    // One read of the file serves the text and the fixed part.
    const std::optional<version::Resource> resource = platform::readVersionResource(fileName);
    const version::Numbers n = version::splitFileVersion(valueOf(resource, "FileVersion"));
    major = n.major;
    minor = n.minor;
    release = n.release;
    build = n.build;

    if (!resource || !resource->fixed) return false;
    // The flags mask is not applied: a flag set counts.
    specialBuild = version::specialBuildText(resource->fixed->fileFlags);
    return true;
}

bool GetOSInfoFrom(const std::optional<platform::SystemVersion>& query, Registry& registry, std::string& name,
                   int32_t& major, int32_t& minor, int32_t& build, std::string& servicePack) {
    if (!query) {
        major = minor = build = 0;
        return false;
    }
    // Reading the names needs read access only, so a user without rights
    // to change the key still sees the real product name.
    auto openKey = [&registry](const char* path) {
        return registry.openForReading(RegRoot::LocalMachine, path, RegAccess::Read);
    };
    switch (query->platformId) {
        case 0:
            name = " Windows 3.x";
            servicePack.clear();
            break;
        case 1:
            name = " Windows 9x class";
            servicePack.clear();
            if (auto key = openKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion")) name = key->readString("ProductName");
            break;
        case 2:
            name = " Windows NT class";
            if (auto key = openKey("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion")) {
                servicePack = key->readString("CSDVersion");
                name = key->readString("ProductName");
            }
            break;
        case platform::kPosixPlatformId:
            name = query->name;
            servicePack = query->release;
            break;
        default:
            break;
    }
    major = static_cast<int32_t>(query->major);
    minor = static_cast<int32_t>(query->minor);
    build = static_cast<int32_t>(version::buildLowWord(query->build));
    return true;
}

bool GetOSInfo(Registry& registry, std::string& name, int32_t& major, int32_t& minor, int32_t& build,
               std::string& servicePack) {
    platform::SystemVersion v;
    std::optional<platform::SystemVersion> query;
    if (platform::querySystemVersion(v)) query = v;
    return GetOSInfoFrom(query, registry, name, major, minor, build, servicePack);
}

}  // namespace qm
