#pragma once
// What an operation raised, as a kind and a message, so that tables of damaged
// files can say which kind of error each must give; and vidloom-cli run in the
// test process with its output captured.

#include "avi/Errors.h"
#include "avi/StoredError.h"
#include "cli/Commands.h"

#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace vidloom::kit {

using ErrorKind = StoredError::Kind;

inline std::string nameOf(ErrorKind k) {
    const char* const names[] = {"no error",        "IoError",       "OverflowError",
                                 "RangeError",      "DivisionError", "ListIndexError",
                                 "ConversionError", "another error"};
    return names[int(k)];
}

// Runs op; gives the kind and message of what it raises.
inline std::pair<ErrorKind, std::string> outcomeOf(const std::function<void()>& op) {
    try {
        op();
        return {ErrorKind::None, ""};
    } catch (const std::exception& e) {
        return {StoredError::kindOf(e), e.what()};
    }
}

struct CliRun {
    int status;
    std::string out, err;
};

// vidloom-cli with these arguments (the command first), in this process.
inline CliRun cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = cli::runCli(args, out, err);
    return {status, out.str(), err.str()};
}

// vidloom-cli command with these arguments after it.
inline CliRun cli(const std::string& command, const std::vector<std::string>& args) {
    std::vector<std::string> all{command};
    all.insert(all.end(), args.begin(), args.end());
    return cli(all);
}

} // namespace vidloom::kit
