#include "platform/WindowsPath.h"

namespace quimbro {

namespace {
char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool Match(std::string_view pattern, std::string_view name) {
    // Iterative matching with one backtrack point for the last star seen.
    std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}
}  // namespace

std::string FoldCase(std::string_view text) {
    std::string folded(text);
    for (auto& c : folded) c = Fold(c);
    return folded;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i])) return false;
    return true;
}

bool MatchesWildcard(std::string_view pattern, std::string_view name) {
    if (Match(pattern, name)) return true;
    // "name.*" also matches "name": the extension may be missing altogether.
    constexpr std::string_view anyExtension = ".*";
    if (pattern.size() >= anyExtension.size() && pattern.ends_with(anyExtension) &&
        name.find('.') == std::string_view::npos)
        return Match(pattern.substr(0, pattern.size() - anyExtension.size()), name);
    return false;
}

std::pair<std::string, std::string> SplitLastComponent(std::string_view path) {
    const auto cut = path.find_last_of("\\/");
    if (cut == std::string_view::npos) return {std::string(), std::string(path)};
    // A root ("\", "C:\") keeps its separator: without it, it would name another folder.
    const bool root = cut == 0 || path[cut - 1] == ':';
    return {std::string(path.substr(0, root ? cut + 1 : cut)), std::string(path.substr(cut + 1))};
}

}  // namespace quimbro
