#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <span>
#include <string>

#include "platform/FileHost.h"
#include "platform/VolumeRoom.h"

namespace quimbro {

// The name a copy is written under until it is whole: its own name and this, or where that
// would be too long a name, its name cut short, a number and this.
inline constexpr char kPartSuffix[] = ".quimbro-part";

// The copy of one file into a folder under its own name: the file as it stood when it was
// opened, also while its program keeps writing it. The copy is written under a temporary name
// and takes its own name, replacing a file of that name, and its source's last-write time only
// when whole: a copy that breaks off is removed, and one cut short by the end of the process
// leaves only its temporary, which the next run's deletion of the output folder takes away.
class FileCopy {
  public:
    // Large reads and writes keep a big log's copy at the disk's pace.
    static constexpr std::size_t kBufferSize = std::size_t{1} << 20;
    using Buffer = std::unique_ptr<char[]>;
    // One for each copying thread.
    static Buffer NewBuffer();

    FileCopy(const FileHost& host, VolumeRoom& room) : host_(host), room_(room) {}

    void Into(const FileHost::Entry& from, const FileHost::Folder& into,
              std::span<char> buffer) const;

  private:
    std::string PartName(const std::string& name) const;

    const FileHost& host_;
    VolumeRoom& room_;
    // The long names given a shorter temporary so far.
    mutable std::atomic<unsigned> shortened_ = 0;
};

}  // namespace quimbro
