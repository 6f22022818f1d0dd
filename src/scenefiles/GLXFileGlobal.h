#pragma once
// What the DirectX X file reader and writer share: the 16-byte file header, the names of the
// formats, the working vertex list and the progress of a read through its data.

#include "gl/Vector.h"
#include "scenefiles/SceneProgress.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

enum TXFileFormat : uint8_t { xfText, xfBinary, xfCompressed, xfBZip, xfBTip, xfUnknown };

struct TXFileInfo {
    TXFileFormat Format = xfUnknown;
    std::string Version;    // four characters, kept as read
    int32_t FloatSize = 32; // bits
};

// "Text", "Binary", "Compressed", "BZip", "BTip", "Unknown".
const char* XFileFormatName(TXFileFormat format);

// Reads the header: "xof ", the version, the format and the float size ("0032" or "0064"; any
// other text leaves `info.FloatSize` as it was). Throws EKorvelaError "Invalid File" when the data
// does not start with "xof " or is shorter than the header.
void ReadXFileHeader(std::string_view data, TXFileInfo& info);

// The vertices and faces of one block: the face index list holds, per face, its vertex count
// followed by that many vertex indices.
struct TVertexList {
    std::vector<Vector3D> Vectors;
    std::vector<int32_t> FaceIndices;
    int32_t FaceCount = 0;
};

// Reports how far a read has come through its data: every 100th call of Check gives the callback
// Scale * position / size + Offset.
class TStreamProgress {
public:
    TStreamProgress(const TProgressCallback& progress, size_t size, int32_t scale = 100, int32_t offset = 0)
        : Progress_(progress), Size_(size), Scale_(scale), Offset_(offset)
    {
    }
    void Check(size_t position)
    {
        if (!Progress_ || ++Calls_ % 100 != 0 || Size_ == 0)
            return;
        Progress_(static_cast<int32_t>((static_cast<uint64_t>(Scale_) * position + Size_ / 2) / Size_) + Offset_);
    }

private:
    TProgressCallback Progress_;
    size_t Size_;
    int32_t Scale_;
    int32_t Offset_;
    uint64_t Calls_ = 0;
};

} // namespace kv
