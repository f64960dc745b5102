#pragma once

#include <concepts>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "context/ObjectsAndVariables.h"
#include "context/Statements.h"

namespace quimbro {

// Writes one report line in one statement: when its text cannot be built the whole line is
// left out, never a label alone.
template <std::invocable MakeText>
void WriteReportLine(RunContext& run, MakeText&& makeText) {
    Attempt([&] { run.Log().WriteLine(std::forward<MakeText>(makeText)()); });
}

void WriteReportLine(RunContext& run, std::string_view text);
void WriteEmptyLine(RunContext& run);

// A line of asterisks, "***" + name + "***", and the asterisks again: three statements.
void WriteBanner(RunContext& run, std::string_view name);

// The text of a registry value, for joining to a label.
std::string RegistryText(RunContext& run, std::string_view path);

// A fixed label followed directly by a registry value, as `text` reads it from `path`.
struct RegistryLine {
    std::string_view label;
    std::string_view path;
    std::string (*text)(RunContext& run, std::string_view path) = RegistryText;
};

// One statement per row, in order.
void WriteRegistryLines(RunContext& run, std::span<const RegistryLine> rows);

}  // namespace quimbro
