// Helpers for pages whose numbered controls share one handler, and for the
// guard a page sets while it fills its controls.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class QObject;

namespace pellam {

// The position of object among the controls of one numbered family, or -1:
// a shared handler finds the number of the control that sent the event.
template <typename Control, std::size_t N>
int indexInFamily(const std::array<Control*, N>& family, const QObject* object) {
    for (std::size_t i = 0; i < N; ++i)
        if (object != nullptr && static_cast<const QObject*>(family[i]) == object)
            return static_cast<int>(i);
    return -1;
}

// Sets a page-fill guard for the lifetime of the object and puts back the
// value it had, so that nested fills leave it set until the outermost ends.
class FillGuard {
public:
    explicit FillGuard(std::int32_t& guard)
        : m_guard(guard)
        , m_previous(guard) {
        m_guard = 1;
    }
    ~FillGuard() { m_guard = m_previous; }
    FillGuard(const FillGuard&) = delete;
    FillGuard& operator=(const FillGuard&) = delete;

private:
    std::int32_t& m_guard;
    std::int32_t m_previous;
};

} // namespace pellam
