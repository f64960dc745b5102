#pragma once

#include <concepts>
#include <string>
#include <string_view>
#include <utility>

#include "context/ObjectsAndVariables.h"
#include "context/Statements.h"

namespace quimbro {

void ShowIntroMessage(RunContext& run);
void ShowFinishMessage(RunContext& run);

// Asks the list to show line MessageCount at the top, then counts the request. Each shown
// message adds one line, so the newest line stays in view.
void ScrollMessageList(RunContext& run);

// Showing a message is two statements: adding the line (left out when its text cannot be
// built) and scrolling, which happens either way.
template <std::invocable MakeText>
void ShowMessage(RunContext& run, MakeText&& makeText) {
    Attempt([&] { run.window.List1().AddItem(std::forward<MakeText>(makeText)()); });
    ScrollMessageList(run);
}

void ShowMessage(RunContext& run, std::string_view text);

// Adds a line without scrolling.
template <std::invocable MakeText>
void AddMessageLine(RunContext& run, MakeText&& makeText) {
    Attempt([&] { run.window.List1().AddItem(std::forward<MakeText>(makeText)()); });
}

}  // namespace quimbro
