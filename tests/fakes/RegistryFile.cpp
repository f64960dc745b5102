#include "fakes/RegistryFile.h"

#include <fstream>
#include <stdexcept>

namespace quimbro::test {

namespace {

// A quoted text starting at `at`, unescaped; `at` ends after its closing quote.
std::string Quoted(const std::string& line, std::size_t& at) {
    std::string text;
    for (++at; at < line.size() && line[at] != '"'; ++at)
        text += line[at] == '\\' ? line[++at] : line[at];
    ++at;
    return text;
}

Bytes HexBytes(const std::string& list) {
    Bytes bytes;
    for (std::size_t at = 0; at + 1 < list.size(); at += 3)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(list.substr(at, 2), nullptr, 16)));
    return bytes;
}

Value Parse(const std::string& data) {
    if (data.starts_with('"')) {
        std::size_t at = 0;
        return Quoted(data, at);
    }
    if (data.starts_with("dword:")) return std::int64_t{std::stoll(data.substr(6), nullptr, 16)};
    const auto colon = data.find(':');
    const auto bytes = HexBytes(data.substr(colon + 1));
    const std::string kind = data.substr(0, colon);
    if (kind == "hex") return bytes;
    // REGEDIT4 stores text in the ANSI code page, each string ending in a NUL.
    TextList texts{{}};
    for (const auto byte : bytes)
        if (byte)
            texts.back() += static_cast<char>(byte);
        else
            texts.emplace_back();
    texts.pop_back();
    if (kind == "hex(2)") return texts.at(0);
    if (kind == "hex(7)") {
        texts.pop_back();  // the list ends in an empty string
        return texts;
    }
    throw std::runtime_error("unknown registry value kind " + kind);
}

}  // namespace

std::map<std::string, Value, CaseInsensitiveLess> ReadRegistryFile(
    const std::filesystem::path& file) {
    std::ifstream in(file);
    if (!in) throw std::runtime_error("no registry file " + file.string());
    std::map<std::string, Value, CaseInsensitiveLess> values;
    std::string key, line;
    for (std::string part; std::getline(in, part);) {
        if (!part.empty() && part.back() == '\r') part.pop_back();
        // A trailing backslash continues a hex list on the next line.
        if (!part.empty() && part.back() == '\\' && part.find("=hex") != std::string::npos) {
            line += part.substr(0, part.size() - 1);
            continue;
        }
        line += part;
        for (const auto& [root, shortRoot] : {std::pair{"[HKEY_LOCAL_MACHINE\\", "HKLM\\"},
                                              std::pair{"[HKEY_CURRENT_USER\\", "HKCU\\"}})
            if (line.starts_with(root))
                key = shortRoot +
                      line.substr(std::string(root).size(),
                                  line.size() - std::string(root).size() - 1) +
                      "\\";
        std::size_t at = 0;
        if (line.starts_with('"')) {
            const auto name = Quoted(line, at);
            values[key + name] = Parse(line.substr(at + 1));
        } else if (line.starts_with("@=")) {
            values[key] = Parse(line.substr(2));
        }
        line.clear();
    }
    return values;
}

}  // namespace quimbro::test
