#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Computer.h"
#include "platform/ScriptHost.h"
#include "platform/Window.h"

namespace quimbro {

// The values a run shares among all its procedures, with the computer and the window it
// reaches. Set once, kept until the program ends.
struct RunContext {
    RunContext(Computer& computer, FormWindow& window) : computer(computer), window(window) {}

    Computer& computer;
    FormWindow& window;

    std::string ToolVersion;
    std::unique_ptr<WScriptShell> ShellObject;
    std::unique_ptr<WScriptNetwork> NetworkObject;
    std::unique_ptr<FileSystemObject> FileSystem;
    std::string DesktopPath;
    std::string RunStamp;
    std::unique_ptr<TextStream> LogStream;
    // The command captures, started by GatherWindowsInfo and waited for before the log closes.
    std::vector<std::unique_ptr<RunningCommand>> RunningCaptures;
    std::string ProductBase;
    std::int16_t MessageCount = 0;

    // The objects; one that was never created fails every operation on it.
    WScriptShell& Shell() const;
    WScriptNetwork& Network() const;
    FileSystemObject& Files() const;
    TextStream& Log() const;
};

// The run stamp that names the run's files: month, day, year, "_", hour, minute, second,
// each in decimal without leading zeros (5 December 2026 03:49:34 gives 1252026_34934).
std::string MakeRunStamp(const DateTime& moment);

void InitializeRun(RunContext& run);

}  // namespace quimbro
