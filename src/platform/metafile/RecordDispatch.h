#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace platform::metafile {

// One line of a player's dispatch table: a record type and the member
// function that plays it.
template <typename Type, typename Handler>
struct RecordHandler {
    Type type;
    Handler handler;
};

// Dispatch tables are written in increasing order of type, each type once,
// so that a binary search finds a handler; players check this at compile time.
template <typename Type, typename Handler, std::size_t N>
constexpr bool strictlyIncreasing(const RecordHandler<Type, Handler> (&table)[N]) {
    for (std::size_t i = 1; i < N; ++i) {
        if (!(table[i - 1].type < table[i].type)) {
            return false;
        }
    }
    return true;
}

// The handler of a record type, or nullptr when the table has none.
template <typename Type, typename Handler, std::size_t N>
Handler handlerOf(const RecordHandler<Type, Handler> (&table)[N], Type type) {
    const auto* found =
        std::lower_bound(std::begin(table), std::end(table), type,
                         [](const RecordHandler<Type, Handler>& e, Type t) { return e.type < t; });
    return found != std::end(table) && found->type == type ? found->handler : nullptr;
}

}  // namespace platform::metafile
