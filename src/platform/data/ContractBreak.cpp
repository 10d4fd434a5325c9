#include "platform/data/ContractBreak.h"

#include <cassert>
#include <cstdio>
#include <utility>

namespace platform {

namespace {

ContractBreakHandler& installedHandler() {
    static ContractBreakHandler handler;
    return handler;
}

} // namespace

ContractBreakHandler setContractBreakHandler(ContractBreakHandler handler) {
    return std::exchange(installedHandler(), std::move(handler));
}

void reportContractBreak(std::string_view what) {
    if (const ContractBreakHandler& handler = installedHandler()) {
        handler(what);
        return;
    }
    std::fprintf(stderr, "warning: object graph contract broken: %.*s\n", static_cast<int>(what.size()),
                 what.data());
    assert(false && "object graph contract broken (see the warning above)");
}

} // namespace platform
