// Feeds arbitrary bytes to the ISO 8211 reader as one module, then asks every getter about the
// fields and labels the module declares: only EKorvelaError may come out, nothing may crash,
// hang or read out of bounds.
#include "sdtslib.h"
#include "platform/KVError.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    kv::TByteStream stream(bytes);
    kv::TDataDescription description;
    try {
        kv::ReadModule(stream, description, 8);
    } catch (const kv::EKorvelaError&) {
        return 0;
    }
    const size_t fields = std::min<size_t>(description.Directory.Items.size(), 8);
    for (size_t f = 0; f < fields; ++f) {
        const std::string& tag = description.Directory.Items[f].Tag;
        (void)kv::GetFormatControls(tag, description);
        const kv::TFieldArray labels = kv::GetFieldLabels(tag, description);
        const size_t count = std::min<size_t>(labels.Items.size(), 8);
        for (int record = 0; record <= description.Records.Count(); ++record) {
            for (size_t l = 0; l < count; ++l) {
                const std::string& label = labels.Items[l].Label;
                (void)kv::GetSubfieldInt(stream, tag, label, record, description);
                (void)kv::GetSubfieldFloat(stream, tag, label, record, description);
                (void)kv::GetBinarySubfield(stream, tag, label, 1 + static_cast<int>(l % 4), record, description);
                kv::TStringArray list;
                kv::GetSubfieldList(stream, tag, label, list, record, description);
            }
        }
    }
    (void)kv::ParseFloat(bytes.substr(0, 256));
    return 0;
}
