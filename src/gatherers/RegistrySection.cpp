#include "gatherers/RegistrySection.h"

#include "app/Messages.h"
#include "app/Progress.h"

namespace quimbro {

void WriteRegistrySection(RunContext& run, const RegistrySection& section) {
    ShowMessage(run, section.message);
    AdvanceProgress(run);
    WriteBanner(run, section.name);
    WriteRegistryLines(run, section.lines);
    WriteEmptyLine(run);
}

}  // namespace quimbro
