#include "platform/FileCopy.h"

#include <algorithm>
#include <cstdint>
#include <exception>

namespace quimbro {

namespace {

// The source's bytes up to its size at opening: a log that keeps growing is taken as it
// stood, so the copy ends and takes no more room than was made for it; one that shrinks
// gives what it has.
void CopyBytes(FileHost::Source& source, FileHost::Target& target, std::uint64_t size,
               std::span<char> buffer, const std::function<void()>& between) {
    for (std::uint64_t left = size; left > 0;) {
        const auto piece =
            buffer.first(static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size())));
        const std::size_t read = source.Read(piece);
        if (read == 0) return;
        target.Write(piece.first(read));
        left -= read;
        if (between) between();
    }
}

}  // namespace

// Left as it comes: a page costs memory only once a file as large reaches it, as each read
// asks for no more than the file holds (under Wine a read touches all of the buffer it is
// given).
FileCopy::Buffer FileCopy::NewBuffer() {
    return std::make_unique_for_overwrite<char[]>(kBufferSize);
}

void FileCopy::Into(const FileHost::Entry& from, const FileHost::Folder& into,
                    std::span<char> buffer, const std::function<void()>& between) const {
    const auto source = host_.OpenSource(from.path);
    const std::uint64_t size = source->Size();
    const auto taken = room_.Take(into.Path(), size);
    const std::string part = from.name + kPartSuffix;
    auto target = host_.CreateTarget(into, part, size);
    try {
        CopyBytes(*source, *target, size, buffer, between);
        target->Finish(source->LastWrite(), from.name);
    } catch (...) {
        target.reset();
        try {
            host_.RemoveIn(into, part);
        } catch (const std::exception&) {
        }
        throw;
    }
}

}  // namespace quimbro
