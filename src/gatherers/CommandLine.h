#pragma once

#include <string>
#include <string_view>

namespace quimbro {

// Encloses a path in double quotes for the command interpreter, so that blanks, & and ^
// in it stay part of the path. A path holding a double quote cannot be enclosed and fails.
std::string QuotedPath(std::string_view path);

// "cmd /C <command> > "<target>"": the interpreter runs the command and its own redirection
// writes standard output into the target file.
std::string RedirectedCommandLine(std::string_view command, std::string_view target);

}  // namespace quimbro
