// The Windows tests write their output unbuffered: under Wine their output is
// a pipe, and a test that crashes would otherwise take the name of the test
// it crashed in with it. The runner also reads "printed nothing" as "never
// started" (wine-run.sh).
#include <cstdio>

namespace {
const int unbuffered = [] {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    return 0;
}();
}  // namespace
