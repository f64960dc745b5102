#include "platform/IisConfigurationFiles.h"

#include <optional>

#include "platform/PlatformError.h"
#include "platform/WindowsPath.h"

namespace quimbro {

namespace {

// The folder an enabled redirection names, or nothing.
std::optional<std::string> RedirectedFolder(const std::string& folder, const XmlFileReader& read) {
    XmlElement redirection;
    try {
        redirection = read(folder + "\\redirection.config");
    } catch (const PlatformError&) {
        return std::nullopt;
    }
    const auto* element = redirection.Child("configurationRedirection");
    const auto* enabled = element ? element->Attribute("enabled") : nullptr;
    const auto* path = element ? element->Attribute("path") : nullptr;
    if (redirection.name != "configuration" || !enabled || !EqualsIgnoringCase(*enabled, "true") ||
        !path)
        return std::nullopt;
    auto redirected = *path;
    while (redirected.ends_with('\\')) redirected.pop_back();
    if (redirected.empty()) return std::nullopt;
    return redirected;
}

}  // namespace

XmlElement ReadIisConfiguration(const std::string& folder, const XmlFileReader& read) {
    const auto where = RedirectedFolder(folder, read).value_or(folder);
    auto configuration = read(where + "\\applicationHost.config");
    auto* applicationHost = configuration.Child("system.applicationHost");
    auto* sites = applicationHost ? applicationHost->Child("sites") : nullptr;
    if (const auto* source = sites ? sites->Attribute("configSource") : nullptr) {
        auto kept = read(where + "\\" + *source);
        if (kept.name != "sites") throw PlatformError("not the sites of an IIS configuration");
        *sites = std::move(kept);
    }
    return configuration;
}

}  // namespace quimbro
