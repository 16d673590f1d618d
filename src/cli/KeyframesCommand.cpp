#include "cli/Commands.h"

#include <ostream>

namespace vidloom::cli {

// Placeholder until the command is built.
int runKeyframes(const Args&, std::ostream&, std::ostream& err) {
    err << "vidloom-cli: 'keyframes' is not available yet\n";
    return 2;
}

} // namespace vidloom::cli
