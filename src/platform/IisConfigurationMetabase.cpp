#include "platform/IisConfigurationMetabase.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "platform/PlatformError.h"
#include "platform/WindowsPath.h"

namespace quimbro {

namespace {

using Node = IisConfigurationMetabase::Node;
using Nodes = std::map<std::string, Node>;

std::string_view Trimmed(std::string_view text, std::string_view what) {
    const auto first = text.find_first_not_of(what);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(what) - first + 1);
}

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<bool> Flag(std::string_view text) {
    if (EqualsIgnoringCase(text, "true")) return true;
    if (EqualsIgnoringCase(text, "false")) return false;
    return std::nullopt;
}

// The sum of the access policy's flags, as the metabase's AccessFlags held them.
std::int64_t AccessFlags(std::string_view policy) {
    struct Permission {
        std::string_view name;
        std::int64_t value;
    };
    constexpr std::array<Permission, 5> kPermissions = {
        {{"Read", 1}, {"Write", 2}, {"Execute", 4}, {"Source", 16}, {"Script", 512}}};
    std::int64_t flags = 0;
    while (!policy.empty()) {
        const auto comma = policy.find(',');
        const auto name = Trimmed(policy.substr(0, comma), " \t");
        for (const auto& permission : kPermissions)
            if (EqualsIgnoringCase(name, permission.name)) flags |= permission.value;
        policy = comma == std::string_view::npos ? std::string_view() : policy.substr(comma + 1);
    }
    return flags;
}

// Which levels of the configuration count at a path.
enum class Levels {
    InEffect,  // the server-wide sections, then every <location> that covers the path
    OwnOnly,   // only the <location> elements of exactly this path; none for the server
};

// The configuration at one path ("" for the server, "Site", "Site/App"), the nearest last.
class Settings {
  public:
    Settings(const XmlElement& configuration, std::string_view path,
             Levels levels = Levels::InEffect) {
        const auto target = FoldCase(Trimmed(path, "/"));
        const bool ownOnly = levels == Levels::OwnOnly;
        if (!ownOnly) levels_.push_back(&configuration);
        std::vector<std::pair<std::size_t, const XmlElement*>> locations;
        for (const auto& element : configuration.children) {
            if (element.name != "location") continue;
            const auto* attribute = element.Attribute("path");
            auto where = FoldCase(Trimmed(attribute ? *attribute : std::string(), "/"));
            if (where == ".") where.clear();
            const bool counts =
                ownOnly ? !target.empty() && where == target
                        : where.empty() || where == target || target.starts_with(where + "/");
            if (counts) locations.emplace_back(where.size(), &element);
        }
        std::stable_sort(locations.begin(), locations.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& location : locations) levels_.push_back(location.second);
    }

    // The value of the section's attribute at the nearest level that sets it.
    std::optional<std::string> Attribute(std::string_view section, std::string_view name) const {
        std::optional<std::string> value;
        for (const auto* element : Chain(section))
            if (const auto* found = element->Attribute(name)) value = *found;
        return value;
    }

    // The keys of a collection after every level's add, remove and clear.
    std::vector<const XmlElement*> Collection(std::string_view section, std::string_view item,
                                              std::string_view key) const {
        std::vector<const XmlElement*> items;
        const auto keyOf = [&](const XmlElement* e) {
            const auto* k = e->Attribute(key);
            return k ? FoldCase(*k) : std::string();
        };
        for (const auto* element : Chain(section))
            for (const auto& child : element->children) {
                if (child.name == "clear") items.clear();
                if (child.name != item && child.name != "remove") continue;
                if (!child.Attribute(key)) continue;
                const auto wanted = keyOf(&child);
                std::erase_if(items, [&](const XmlElement* e) { return keyOf(e) == wanted; });
                if (child.name == item) items.push_back(&child);
            }
        return items;
    }

  private:
    // The section's element at each level that has one, general first.
    std::vector<const XmlElement*> Chain(std::string_view section) const {
        std::vector<const XmlElement*> chain;
        for (const auto* level : levels_) {
            const XmlElement* element = level;
            for (std::string_view rest = section; element && !rest.empty();) {
                const auto slash = rest.find('/');
                element = element->Child(rest.substr(0, slash));
                rest =
                    slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
            }
            if (element) chain.push_back(element);
        }
        return chain;
    }

    std::vector<const XmlElement*> levels_;
};

constexpr char kHandlers[] = "system.webServer/handlers";
constexpr char kDefaultDocument[] = "system.webServer/defaultDocument";
constexpr char kDefaultFiles[] = "system.webServer/defaultDocument/files";
constexpr char kAnonymous[] = "system.webServer/security/authentication/anonymousAuthentication";
constexpr char kFilters[] = "system.webServer/isapiFilters";

std::string Joined(const std::vector<const XmlElement*>& items, std::string_view attribute) {
    std::string joined;
    for (const auto* item : items) {
        if (!joined.empty()) joined += ',';
        joined += *item->Attribute(attribute);
    }
    return joined;
}

// A site's root, or a directory below it, with the settings in effect at its path.
Node Directory(const XmlElement& configuration, std::string_view path, const std::string* name,
               const std::string* physicalPath) {
    const Settings settings(configuration, path);
    Node node;
    if (name) node.properties["Name"] = *name;
    if (physicalPath) node.properties["Path"] = *physicalPath;
    node.properties["AccessFlags"] =
        AccessFlags(settings.Attribute(kHandlers, "accessPolicy").value_or("Read, Script"));
    if (const auto enabled = Flag(settings.Attribute(kDefaultDocument, "enabled").value_or("true")))
        node.properties["EnableDefaultDoc"] = *enabled;
    node.properties["DefaultDoc"] =
        Joined(settings.Collection(kDefaultFiles, "add", "value"), "value");
    node.properties["AnonymousUserName"] =
        settings.Attribute(kAnonymous, "userName").value_or("IUSR");
    return node;
}

// "*:80:" listens on every address, which the metabase wrote as ":80:".
std::string MetabaseBinding(std::string_view information) {
    return std::string(information.starts_with("*:") ? information.substr(1) : information);
}

const XmlElement* VirtualDirectory(const XmlElement& application, std::string_view path) {
    for (const auto& child : application.children)
        if (const auto* p = child.Attribute("path");
            child.name == "virtualDirectory" && p && *p == path)
            return &child;
    return nullptr;
}

// The last segment of a path one level below the root ("/TarnApp"), or nothing.
std::optional<std::string> OneLevelBelowRoot(const std::string* path) {
    if (!path || path->size() < 2 || (*path)[0] != '/') return std::nullopt;
    const auto name = path->substr(1);
    if (name.find('/') != std::string::npos) return std::nullopt;
    return name;
}

void AddSite(Nodes& nodes, const XmlElement& configuration, const XmlElement& site,
             const std::string& key) {
    const auto* siteName = site.Attribute("name");
    const std::string configPath = siteName ? *siteName : std::string();

    Node& node = nodes[key];
    node.properties["Name"] = *site.Attribute("id");
    if (siteName) node.properties["ServerComment"] = *siteName;
    TextList http, https;
    if (const auto* bindings = site.Child("bindings"))
        for (const auto& binding : bindings->children) {
            const auto* protocol = binding.Attribute("protocol");
            const auto* information = binding.Attribute("bindingInformation");
            if (binding.name != "binding" || !protocol || !information) continue;
            if (EqualsIgnoringCase(*protocol, "http"))
                http.push_back(MetabaseBinding(*information));
            if (EqualsIgnoringCase(*protocol, "https"))
                https.push_back(MetabaseBinding(*information));
        }
    node.properties["ServerBindings"] = http;
    node.properties["SecureBindings"] = https;

    const auto rootKey = key + "/root";
    const XmlElement* rootApplication = nullptr;
    for (const auto& application : site.children)
        if (const auto* p = application.Attribute("path");
            application.name == "application" && p && *p == "/")
            rootApplication = &application;
    const auto* rootDirectory = rootApplication ? VirtualDirectory(*rootApplication, "/") : nullptr;
    nodes[rootKey] = Directory(configuration, configPath, nullptr,
                               rootDirectory ? rootDirectory->Attribute("physicalPath") : nullptr);

    std::vector<std::string> below;
    const auto addBelow = [&](const std::string& name, const std::string* physicalPath) {
        const auto childKey = rootKey + "/" + FoldCase(name);
        if (nodes.contains(childKey)) return;
        nodes[childKey] = Directory(configuration, configPath + "/" + name, &name, physicalPath);
        below.push_back(childKey);
    };
    for (const auto& application : site.children) {
        if (application.name != "application") continue;
        if (&application == rootApplication) {
            for (const auto& directory : application.children)
                if (const auto name = OneLevelBelowRoot(directory.Attribute("path"));
                    directory.name == "virtualDirectory" && name)
                    addBelow(*name, directory.Attribute("physicalPath"));
        } else if (const auto name = OneLevelBelowRoot(application.Attribute("path"))) {
            const auto* directory = VirtualDirectory(application, "/");
            addBelow(*name, directory ? directory->Attribute("physicalPath") : nullptr);
        }
    }
    nodes[rootKey].children = below;

    const auto filtersKey = key + "/filters";
    // The server-wide filters are the web service's own; a site lists only those its own
    // <location> adds.
    const auto filters =
        Settings(configuration, configPath, Levels::OwnOnly).Collection(kFilters, "filter", "name");
    Node filtersNode;
    filtersNode.properties["FilterLoadOrder"] = Joined(filters, "name");
    for (const auto* filter : filters) {
        const auto& name = *filter->Attribute("name");
        const auto filterKey = filtersKey + "/" + FoldCase(name);
        if (nodes.contains(filterKey)) continue;
        Node& filterNode = nodes[filterKey];
        filterNode.properties["Name"] = name;
        if (const auto* path = filter->Attribute("path"))
            filterNode.properties["FilterPath"] = *path;
        const auto* enabled = filter->Attribute("enabled");
        if (const auto flag = Flag(enabled ? *enabled : "true"))
            filterNode.properties["FilterEnabled"] = *flag;
        filtersNode.children.push_back(filterKey);
    }
    nodes[filtersKey] = filtersNode;
}

class ConfigurationObject final : public MetabaseObject {
  public:
    ConfigurationObject(std::shared_ptr<const Nodes> nodes, std::string key)
        : nodes_(std::move(nodes)), key_(std::move(key)) {}

    std::vector<std::unique_ptr<MetabaseObject>> Children() override {
        std::vector<std::unique_ptr<MetabaseObject>> children;
        for (const auto& child : nodes_->at(key_).children)
            children.push_back(std::make_unique<ConfigurationObject>(nodes_, child));
        return children;
    }

    Value Get(const std::string& property) override {
        const auto& properties = nodes_->at(key_).properties;
        const auto found = properties.find(property);
        if (found == properties.end()) throw PlatformError("property not in the configuration");
        return found->second;
    }

  private:
    std::shared_ptr<const Nodes> nodes_;
    std::string key_;
};

}  // namespace

IisConfigurationMetabase::IisConfigurationMetabase(const XmlElement& configuration,
                                                   std::string computerName)
    : computerName_(std::move(computerName)) {
    const auto* applicationHost = configuration.Child("system.applicationHost");
    const auto* sites = applicationHost ? applicationHost->Child("sites") : nullptr;
    if (configuration.name != "configuration" || !sites)
        throw PlatformError("not an IIS configuration");
    auto nodes = std::make_shared<Nodes>();
    (*nodes)["w3svc"] = Node{};
    for (const auto& site : sites->children) {
        // A site without a numeric id cannot be named in a path, so it cannot be shown.
        const auto* id = site.Attribute("id");
        if (site.name != "site" || !id || !IsDigits(*id)) continue;
        const auto key = "w3svc/" + *id;
        if (nodes->contains(key)) continue;
        AddSite(*nodes, configuration, site, key);
        (*nodes)["w3svc"].children.push_back(key);
    }
    nodes_ = std::move(nodes);
}

std::unique_ptr<MetabaseObject> IisConfigurationMetabase::Bind(const std::string& path) {
    constexpr std::string_view kScheme = "IIS://";
    const std::string_view text(path);
    if (text.size() < kScheme.size() ||
        !EqualsIgnoringCase(text.substr(0, kScheme.size()), kScheme))
        throw PlatformError("not an IIS path");
    const auto rest = text.substr(kScheme.size());
    const auto slash = rest.find('/');
    const auto computer = rest.substr(0, slash);
    if (!EqualsIgnoringCase(computer, computerName_) && !EqualsIgnoringCase(computer, "localhost"))
        throw PlatformError("another computer");
    const auto key = FoldCase(
        Trimmed(slash == std::string_view::npos ? std::string_view() : rest.substr(slash), "/"));
    if (!nodes_->contains(key)) throw PlatformError("no such object");
    return std::make_unique<ConfigurationObject>(nodes_, key);
}

}  // namespace quimbro
