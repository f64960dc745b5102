#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/Computer.h"

namespace quimbro {

// The metabase provider first; where it cannot be bound, the second source, opened on first
// need. Whichever binds first answers every later path, so one run never mixes the two.
class FallbackMetabase final : public Metabase {
  public:
    using Opener = std::function<std::unique_ptr<Metabase>()>;  // raises PlatformError

    FallbackMetabase(std::unique_ptr<Metabase> provider, Opener openFallback)
        : provider_(std::move(provider)), openFallback_(std::move(openFallback)) {}

    std::unique_ptr<MetabaseObject> Bind(const std::string& path) override;

  private:
    std::unique_ptr<Metabase> provider_;
    Opener openFallback_;
    std::unique_ptr<Metabase> fallback_;
    Metabase* chosen_ = nullptr;
};

}  // namespace quimbro
