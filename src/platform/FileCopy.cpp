#include "platform/FileCopy.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <string_view>

namespace quimbro {

namespace {

// The source's bytes up to its size at opening: a log that keeps growing is taken as it
// stood, so the copy ends and takes no more room than was made for it; one that shrinks
// gives what it has.
void CopyBytes(FileHost::Source& source, FileHost::Target& target, VolumeRoom::Taken& taken,
               std::uint64_t size, std::span<char> buffer) {
    for (std::uint64_t left = size; left > 0;) {
        const auto piece =
            buffer.first(static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size())));
        const std::size_t read = source.Read(piece);
        if (read == 0) return;
        target.Write(piece.first(read));
        taken.Stored(target.Stored());
        left -= read;
    }
}

// The length of UTF-8 text in UTF-16 units, as Windows counts a name.
std::size_t Utf16Length(std::string_view text) {
    std::size_t units = 0;
    for (const unsigned char c : text)
        if ((c & 0xC0) != 0x80) units += c >= 0xF0 ? 2 : 1;
    return units;
}

}  // namespace

std::string FileCopy::PartName(const std::string& name) const {
    // The longest name a folder's entry can have.
    constexpr std::size_t kLongestName = 255;
    if (Utf16Length(name) + Utf16Length(kPartSuffix) <= kLongestName) return name + kPartSuffix;
    // Cut short, told apart from the row's other long names by a number of its own.
    const std::string tail = "~" + std::to_string(++shortened_) + kPartSuffix;
    std::size_t cut = 0;
    for (std::size_t units = Utf16Length(tail); cut < name.size();) {
        std::size_t next = cut + 1;
        while (next < name.size() && (static_cast<unsigned char>(name[next]) & 0xC0) == 0x80)
            ++next;
        units += Utf16Length(std::string_view(name).substr(cut, next - cut));
        if (units > kLongestName) break;
        cut = next;
    }
    return name.substr(0, cut) + tail;
}

// Left as it comes: a page costs memory only once a file as large reaches it, as each read
// asks for no more than the file holds (under Wine a read touches all of the buffer it is
// given).
FileCopy::Buffer FileCopy::NewBuffer() {
    return std::make_unique_for_overwrite<char[]>(kBufferSize);
}

void FileCopy::Into(const FileHost::Entry& from, const FileHost::Folder& into,
                    std::span<char> buffer) const {
    const auto source = host_.OpenSource(from.path);
    const std::uint64_t size = source->Size();
    auto taken = room_.Take(into.Path(), size);
    const std::string part = PartName(from.name);
    auto target = host_.CreateTarget(into, part, size);
    try {
        taken.Stored(target->Stored());
        CopyBytes(*source, *target, taken, size, buffer);
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
