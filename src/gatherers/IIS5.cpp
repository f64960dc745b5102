#include "gatherers/IIS5.h"

#include <algorithm>
#include <memory>
#include <string>

#include "app/Messages.h"
#include "app/Progress.h"
#include "app/ReportLog.h"

namespace quimbro {

namespace {

using Object = std::unique_ptr<MetabaseObject>;

std::string ServicePath(RunContext& run) {
    return "IIS://" + run.Network().ComputerName() + "/W3SVC";
}

// An object that could not be bound fails every read on it.
MetabaseObject& Bound(const Object& object) {
    if (!object) throw PlatformError("metabase object not bound");
    return *object;
}

std::string Text(const Object& object, const char* property) {
    return ToText(Bound(object).Get(property));
}

std::vector<Object> ChildrenOf(const Object& object) {
    return Collection([&] { return Bound(object).Children(); });
}

TextList ListOf(const Object& object, const char* property) {
    return Collection([&] { return EntriesOf(Bound(object).Get(property)); });
}

// Sites are the children named by a number; the others (Filters, Info, ...) are not.
bool IsSite(const Object& child) {
    return Holds([&] {
        const auto name = Text(child, "Name");
        return !name.empty() &&
               std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
    });
}

Object BindBelowSite(RunContext& run, const Object& site, const char* below) {
    Object bound;
    Attempt([&] {
        bound = run.computer.metabase.Bind(ServicePath(run) + "/" + Text(site, "Name") + below);
    });
    return bound;
}

void WriteSite(RunContext& run, const Object& site) {
    WriteReportLine(run, [&] {
        return "Website ID: " + Text(site, "Name") + "(" + Text(site, "ServerComment") + ")";
    });
    for (const auto& binding : ListOf(site, "ServerBindings"))
        WriteReportLine(run, [&] { return "Port: " + binding; });
    for (const auto& binding : ListOf(site, "SecureBindings"))
        WriteReportLine(run, [&] { return "Secure Port: " + binding; });

    const auto root = BindBelowSite(run, site, "/Root");
    WriteReportLine(run, [&] { return "Access Permissions: " + Text(root, "AccessFlags"); });
    WriteReportLine(run, [&] { return "Anonymous User: " + Text(root, "AnonymousUserName"); });
    WriteEmptyLine(run);
    for (const auto& directory : ChildrenOf(root)) {
        WriteReportLine(run, [&] { return "Virtual Directory: " + Text(directory, "Name"); });
        WriteReportLine(run, [&] { return "Physical Directory: " + Text(directory, "Path"); });
        WriteReportLine(run,
                        [&] { return "Access Permissions: " + Text(directory, "AccessFlags"); });
        WriteReportLine(run, [&] {
            return "Default Document Enabled: " + Text(directory, "EnableDefaultDoc");
        });
        WriteReportLine(run,
                        [&] { return "Default Document Order: " + Text(directory, "DefaultDoc"); });
        WriteReportLine(run,
                        [&] { return "Anonymous User: " + Text(directory, "AnonymousUserName"); });
        WriteEmptyLine(run);
    }
}

void WriteFilters(RunContext& run, const Object& site) {
    const auto filters = BindBelowSite(run, site, "/Filters");
    WriteReportLine(run, [&] { return "Filter Load Order: " + Text(filters, "FilterLoadOrder"); });
    WriteEmptyLine(run);
    for (const auto& filter : ChildrenOf(filters)) {
        WriteReportLine(run, [&] { return "Filter Name: " + Text(filter, "Name"); });
        WriteReportLine(run, [&] { return "Filter Path: " + Text(filter, "FilterPath"); });
        WriteReportLine(run, [&] { return "Filter Enabled: " + Text(filter, "FilterEnabled"); });
        // A state that cannot be read counts as not running.
        const bool running = Holds([&] { return IsNumber(Bound(filter).Get("FilterState"), 1); });
        WriteReportLine(run, running ? "Filter State: Green" : "Filter State: Red");
        WriteEmptyLine(run);
    }
}

}  // namespace

void GatherIISInfo(RunContext& run) {
    ShowMessage(run, "Reading IIS info...");
    AdvanceProgress(run);
    WriteBanner(run, "IIS");
    WriteReportLine(run, [&] {
        return RegistryText(run, "HKLM\\Software\\Microsoft\\InetStp\\VersionString");
    });
    WriteEmptyLine(run);

    Object service;
    Attempt([&] { service = run.computer.metabase.Bind(ServicePath(run)); });
    if (!service) {
        WriteReportLine(run, [&] {
            return "Unable to connect to the IIS Metabase on " + run.Network().ComputerName();
        });
        WriteReportLine(run, "IIS 5.0 may not be installed on this computer.");
    }
    AdvanceProgress(run);

    for (const auto& child : ChildrenOf(service))
        if (IsSite(child)) WriteSite(run, child);

    WriteReportLine(run, "---Access Permission Values---");
    WriteReportLine(run,
                    "Note: Permissions are added together.  Subtract values below to reach zero.");
    WriteReportLine(
        run,
        "None = 0, Read = 1, Write = 2, Script Source Access = 16, Execute Scripts Only "
        "= 512, Execute Scripts and Executables = 516");
    WriteEmptyLine(run);
    AdvanceProgress(run);
    AdvanceProgress(run);

    // The web service's children are enumerated afresh for the filters.
    for (const auto& child : ChildrenOf(service))
        if (IsSite(child)) WriteFilters(run, child);
    AdvanceProgress(run);
}

}  // namespace quimbro
