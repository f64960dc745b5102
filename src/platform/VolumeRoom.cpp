#include "platform/VolumeRoom.h"

#include <algorithm>

#include "platform/PlatformError.h"

namespace quimbro {

namespace {
// The volume is asked again after this much, or when the count kept since says a file would
// not fit; asking before every file would cost more than many a small copy.
constexpr std::uint64_t kRecount = std::uint64_t{256} << 20;
}  // namespace

bool LeavesReserve(const FileHost::Space& space, std::uint64_t size) {
    constexpr std::uint64_t kReserve = std::uint64_t{1} << 30;
    const std::uint64_t reserve =
        space.volumeSize == 0 ? kReserve : std::min(kReserve, space.volumeSize / 20);
    return space.free >= size && space.volumeFree >= reserve && space.volumeFree - reserve >= size;
}

VolumeRoom::Taken VolumeRoom::Take(const std::string& folder, std::uint64_t size) {
    const std::lock_guard lock(mutex_);
    if (!space_ || sinceCounted_ >= kRecount || !LeavesReserve(*space_, size)) {
        space_ = host_.SpaceOf(folder);
        for (auto* free : {&space_->free, &space_->volumeFree}) *free -= std::min(*free, underWay_);
        sinceCounted_ = 0;
    }
    if (!LeavesReserve(*space_, size)) throw PlatformError("the copy would fill the volume");
    space_->free -= size;
    space_->volumeFree -= size;
    sinceCounted_ += size;
    underWay_ += size;
    return Taken(*this, size);
}

void VolumeRoom::Stored(std::uint64_t& stored, std::uint64_t now) {
    const std::lock_guard lock(mutex_);
    if (now <= stored) return;
    underWay_ -= now - stored;
    stored = now;
}

}  // namespace quimbro
