#pragma once

namespace qurix {

// The two options every installed program answers alike, whatever else it accepts.
enum class StandardOption { None, Help, Version };

// Help or Version when the command line is exactly "--help" or "--version" after the
// program name; None otherwise (more arguments, or any other one).
StandardOption FindStandardOption(int argc, const char* const* argv);

// Answers on standard output: "<program> <version>" for Version; for Help the usage,
// an empty line and the help text. Returns the exit status: 0, or 1 when standard
// output cannot be written (a full disk, a closed pipe).
int AnswerStandardOption(StandardOption option, const char* program, const char* usage,
                         const char* help);

}  // namespace qurix
