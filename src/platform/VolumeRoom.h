#pragma once

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "platform/FileHost.h"

namespace quimbro {

// Whether `size` more bytes fit in what the caller may still write and leave the volume itself
// its reserve: 1 GiB, or 5% of the volume where that is less (1 GiB where its size is unknown).
bool LeavesReserve(const FileHost::Space& space, std::uint64_t size);

// The room the copies of a row take on the volume they write to. The system disk must keep
// room for the services the customer called about. Room is taken before a copy, for the whole
// of what it will write; the volume asked again still counts what the copies under way have
// not stored yet, so two copies at a time cannot both take the last of it, and what they have
// stored (a big copy's length is set beforehand) is counted once.
class VolumeRoom {
  public:
    explicit VolumeRoom(const FileHost& host) : host_(host) {}
    VolumeRoom(const VolumeRoom&) = delete;
    VolumeRoom& operator=(const VolumeRoom&) = delete;

    // Room held for one copy while it is under way.
    class Taken {
      public:
        ~Taken() { room_.Stored(stored_, size_); }
        Taken(const Taken&) = delete;
        Taken& operator=(const Taken&) = delete;

        // How many of its bytes the copy has stored on the volume so far.
        void Stored(std::uint64_t bytes) { room_.Stored(stored_, std::min(bytes, size_)); }

      private:
        friend VolumeRoom;
        Taken(VolumeRoom& room, std::uint64_t size) : room_(room), size_(size) {}

        VolumeRoom& room_;
        const std::uint64_t size_;
        std::uint64_t stored_ = 0;  // guarded by the room's mutex
    };

    // Room for `size` bytes in the folder's volume; raises PlatformError when the copy would
    // leave the volume less than its reserve.
    [[nodiscard]] Taken Take(const std::string& folder, std::uint64_t size);

  private:
    void Stored(std::uint64_t& stored, std::uint64_t now);

    const FileHost& host_;
    std::mutex mutex_;
    // The volume's space as last asked, less what has been taken since.
    std::optional<FileHost::Space> space_;
    std::uint64_t sinceCounted_ = 0;
    // Room taken by the copies under way that they have not stored yet.
    std::uint64_t underWay_ = 0;
};

}  // namespace quimbro
