// The XML scene reader over arbitrary text: it either refuses it with EKorvelaError or fills the
// frame with objects whose lists fit together, which the writer then writes without failing.
#include "platform/KVError.h"
#include "scenefiles/GLXMLReader.h"
#include "scenefiles/GLXMLWriter.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    kv::TGLBaseFrame base;
    try {
        kv::ReadXMLScene(base, std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const kv::EKorvelaError&) {
    }
    (void)kv::XMLSceneText(base);
    return 0;
}
