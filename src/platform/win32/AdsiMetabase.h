#pragma once

#include <memory>
#include <string>

#include "platform/Computer.h"

namespace quimbro::win32 {

// The IIS metabase through its ADSI provider. Where the provider is missing, binding fails.
class AdsiMetabase final : public Metabase {
  public:
    std::unique_ptr<MetabaseObject> Bind(const std::string& path) override;
};

}  // namespace quimbro::win32
