// orvane-cli: runs the treatments of the desktop application without a window.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace orvane::cli {

// Exit statuses of every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // unreadable or malformed input, write failure
inline constexpr int kExitUsage = 2;    // unknown option, missing or out-of-range value

// Parses `args` (without the program name), runs the command and returns the exit status.
// Results go to `out`, messages and the progress bar to `err`; the bar is drawn when
// `errIsTerminal` or --progress, never with --quiet.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           bool errIsTerminal = false);

}  // namespace orvane::cli
