// What the sink under test declares it supports, as the capability
// declaration form of the HDMI compliance test asks. The analyser reads it.
#pragma once

#include <cstdint>

namespace pellam {

struct CapabilityDeclaration {
    std::int32_t hdmiOutputCount = 0;
    bool sinkHdtv = false;
    bool sinkYuvOnOther = false;
    bool sink60Hz = false;
    bool sink50Hz = false;
    bool sink720p60Other = false;
    bool sink720p50Other = false;
    bool sink1080i60Other = false;
    bool sink1080i50Other = false;
    bool sink3D = false;
    bool sink3DAdditional = false;
    bool sink4Kx2K = false;
    bool sinkSupportAI = false;
    bool sinkBasicAudio = false;
    bool cecRootDevice = false;
    // Not a declaration of the form: the report adds its HDMI 2.x section
    // (HDMI 2.1 and CTA-861-H rules) after the items.
    bool hdmi2Section = false;

    // The declaration dialog's initial state: no outputs, basic audio, CEC root.
    static CapabilityDeclaration dialogDefaults() {
        CapabilityDeclaration d;
        d.sinkBasicAudio = true;
        d.cecRootDevice = true;
        return d;
    }

    bool operator==(const CapabilityDeclaration&) const = default;
};

} // namespace pellam
