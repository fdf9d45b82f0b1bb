// Holds the page-decoding marker at one page's number for a scope, so that
// the change notifications raised meanwhile by that page's own controls write
// nothing; the previous value comes back at the end of the scope.
#pragma once

#include "core/edid/bits.h"

namespace pellam {

class PageMarkerScope {
public:
    PageMarkerScope(Byte& marker, Byte page)
        : m_marker(marker)
        , m_saved(marker) {
        m_marker = page;
    }
    ~PageMarkerScope() { m_marker = m_saved; }
    PageMarkerScope(const PageMarkerScope&) = delete;
    PageMarkerScope& operator=(const PageMarkerScope&) = delete;

private:
    Byte& m_marker;
    Byte m_saved;
};

} // namespace pellam
