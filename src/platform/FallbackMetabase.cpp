#include "platform/FallbackMetabase.h"

#include "platform/PlatformError.h"

namespace quimbro {

std::unique_ptr<MetabaseObject> FallbackMetabase::Bind(const std::string& path) {
    if (chosen_) return chosen_->Bind(path);
    try {
        auto object = provider_->Bind(path);
        if (!object) throw PlatformError("nothing bound");
        chosen_ = provider_.get();
        return object;
    } catch (const PlatformError&) {
    }
    if (!fallback_) fallback_ = openFallback_();
    auto object = fallback_->Bind(path);
    chosen_ = fallback_.get();
    return object;
}

}  // namespace quimbro
