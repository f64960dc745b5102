#include "app/ReportLog.h"

namespace quimbro {

void WriteReportLine(RunContext& run, std::string_view text) {
    WriteReportLine(run, [&] { return std::string(text); });
}

void WriteEmptyLine(RunContext& run) {
    WriteReportLine(run, "");
}

void WriteBanner(RunContext& run, std::string_view name) {
    const std::string title = "***" + std::string(name) + "***";
    const std::string stars(title.size(), '*');
    WriteReportLine(run, stars);
    WriteReportLine(run, title);
    WriteReportLine(run, stars);
}

std::string RegistryText(RunContext& run, std::string_view path) {
    return ToText(run.Shell().RegRead(std::string(path)));
}

void WriteRegistryLines(RunContext& run, std::span<const RegistryLine> rows) {
    for (const auto& row : rows)
        WriteReportLine(run, [&] { return std::string(row.label) + row.text(run, row.path); });
}

}  // namespace quimbro
