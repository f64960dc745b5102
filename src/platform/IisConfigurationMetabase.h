#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/Computer.h"
#include "platform/XmlElement.h"

namespace quimbro {

// The web sites of IIS 7 and later, read from applicationHost.config and presented as the
// metabase objects and properties that IIS 6 kept: the web service, its sites by id, each
// site's Root with the applications and virtual directories one level below it, and each
// site's Filters. Settings are those in effect at each path: the server-wide section,
// overridden by <location> elements, the nearest path last. A site's Filters are only those
// that its own <location> elements add: the server-wide filters belong to the web service.
class IisConfigurationMetabase final : public Metabase {
  public:
    // Raises PlatformError for a document that is not an IIS configuration.
    IisConfigurationMetabase(const XmlElement& configuration, std::string computerName);

    std::unique_ptr<MetabaseObject> Bind(const std::string& path) override;

    struct Node {
        std::map<std::string, Value> properties;
        std::vector<std::string> children;  // keys of the child nodes, in order
    };

  private:
    std::string computerName_;
    // By lower-case path below "IIS://computer/"; shared with the objects bound from it.
    std::shared_ptr<const std::map<std::string, Node>> nodes_;
};

}  // namespace quimbro
