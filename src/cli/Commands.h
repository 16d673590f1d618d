#pragma once
// The sub-commands of vidloom-cli. Each takes the arguments after its own name
// and returns the process exit status: 0 done, 1 an input file could not be
// read, 2 usage error, 3 the plan was built but a splice was refused.

#include <iosfwd>
#include <string>
#include <vector>

namespace vidloom {
class AviHeaderCache;
}

namespace vidloom::cli {

using Args = std::vector<std::string>;

int runInfo(const Args& args, std::ostream& out, std::ostream& err);
int runKeyframes(const Args& args, std::ostream& out, std::ostream& err);
// The same with the header records of cache (a test keeps a record across runs).
int runKeyframes(const Args& args, std::ostream& out, std::ostream& err, AviHeaderCache& cache);
int runPlan(const Args& args, std::ostream& out, std::ostream& err);
int runFrame(const Args& args, std::ostream& out, std::ostream& err);

// The whole program: argv without the program name.
int runCli(const Args& args, std::ostream& out, std::ostream& err);

// FILE arguments are made absolute first, as the window's file dialogs give them.
std::string absolutePath(const std::string& path);

} // namespace vidloom::cli
