// Small helpers for pages whose handlers serve numbered families of controls
// and whose decoders fill controls under a guard.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include <QObject>
#include <QRadioButton>

namespace pellam {

// The 0-based place of sender in a family of controls, -1 when it is not one.
template <std::size_t N, typename Widget>
int indexOfSender(const std::array<Widget*, N>& family, const QObject* sender) {
    for (std::size_t i = 0; i < N; ++i)
        if (family[i] == sender)
            return static_cast<int>(i);
    return -1;
}

// Checks the radio button at index and unchecks the others; index out of
// range unchecks all (which an exclusive group alone would not allow).
template <std::size_t N>
void checkOnly(const std::array<QRadioButton*, N>& family, int index) {
    for (std::size_t i = 0; i < N; ++i) {
        family[i]->setAutoExclusive(false);
        family[i]->setChecked(static_cast<int>(i) == index);
        family[i]->setAutoExclusive(true);
    }
}

// Sets a page-fill guard for its lifetime and restores the previous value.
class PageFillGuard {
public:
    explicit PageFillGuard(std::int32_t& guard)
        : m_guard(guard)
        , m_previous(guard) {
        m_guard = 1;
    }
    ~PageFillGuard() { m_guard = m_previous; }
    PageFillGuard(const PageFillGuard&) = delete;
    PageFillGuard& operator=(const PageFillGuard&) = delete;

private:
    std::int32_t& m_guard;
    std::int32_t m_previous;
};

} // namespace pellam
