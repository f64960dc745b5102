#pragma once

#include <memory>
#include <string>

#include "platform/Computer.h"
#include "platform/XmlElement.h"

namespace quimbro::win32 {

// An XML file read with XmlLite into elements. Raises PlatformError when the file is missing,
// cannot be read or is not well-formed XML. Document type definitions are refused.
XmlElement ReadXmlFile(const std::wstring& path);

// IIS's own configuration, read where IIS reads it (%windir%\System32\inetsrv\config, or the
// share its Shared Configuration names), as the metabase of this computer, read as the run's
// user. Raises PlatformError when it cannot be read as one.
std::unique_ptr<Metabase> OpenIisConfiguration();

}  // namespace quimbro::win32
