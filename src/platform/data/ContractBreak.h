#pragma once

#include <functional>
#include <string_view>

namespace platform {

// A broken contract of the object graph (a link to a deleted object, a value of the wrong kind, an
// unknown key ...). The graph refuses the call and reports it here: with no handler installed the report
// is logged as a warning, so that the fault stays findable in release builds, and asserts in debug
// builds. Tests install a handler to see the reports instead.
using ContractBreakHandler = std::function<void(std::string_view what)>;

// Installs a handler (an empty one restores the default) and answers the one it replaces.
ContractBreakHandler setContractBreakHandler(ContractBreakHandler handler);

void reportContractBreak(std::string_view what);

} // namespace platform
