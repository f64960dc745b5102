#pragma once

#include <functional>
#include <string>

#include "platform/XmlElement.h"

namespace quimbro {

// Reads one XML file by its Windows path; raises PlatformError when it cannot.
using XmlFileReader = std::function<XmlElement(const std::string& path)>;

// IIS's configuration, read where IIS reads it, from its configuration folder
// (%windir%\System32\inetsrv\config): applicationHost.config there or, where redirection.config
// there enables Shared Configuration, the one in the folder it names (on a web farm, a share).
// A <sites configSource="..."> becomes the named file beside the configuration. A
// redirection.config that is missing, disabled or cannot be read means the local file; a
// configuration that cannot be read raises PlatformError, never falling back to a local copy.
XmlElement ReadIisConfiguration(const std::string& folder, const XmlFileReader& read);

}  // namespace quimbro
