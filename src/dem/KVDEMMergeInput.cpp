#include "KVDEMMergeInput.h"

#include "platform/KVError.h"

#include <utility>

namespace kv {

namespace {

constexpr int64_t BlockBytes = TDEMBlockReader::BlockSize;
constexpr int64_t ProfileHeaderBytes = 4 * 6 + 5 * 24;
constexpr int ElevationWidth = 6;

} // namespace

TMergeInput::TMergeInput(std::span<const char> data, std::string name)
    : Data_(data), Name_(std::move(name)), Reader_(data)
{
}

template <typename TRead>
auto TMergeInput::Locating(const std::string& where, TRead read)
{
    try {
        return read();
    } catch (const EKorvelaError& error) {
        throw EKorvelaError(Name_ + ", " + where + ": " + error.what());
    }
}

void TMergeInput::ReadHeader()
{
    Locating("record A", [&] {
        Reader_.ReadBlock();
        ReadRecordA(Reader_, Info_, /*foldMapName=*/false, /*emptyRealIsZero=*/false);
    });
    ReplaceZeroCorners(Info_);

    if (Info_.ProfileRows < 0 || Info_.ProfileCols < 0)
        throw EKorvelaError(Name_ + " has a negative number of profiles: " + std::to_string(Info_.ProfileRows) +
                            " rows by " + std::to_string(Info_.ProfileCols) + " columns");
    ProfileCount_ = int64_t{Info_.ProfileRows} * int64_t{Info_.ProfileCols};
    // Every profile starts a block of its own after record A's block and needs at least its header.
    const auto size = static_cast<int64_t>(Data_.size());
    const int64_t fitting = size < BlockBytes + ProfileHeaderBytes ? 0 : (size - ProfileHeaderBytes) / BlockBytes;
    if (ProfileCount_ > fitting)
        throw EKorvelaError(Name_ + " claims " + std::to_string(ProfileCount_) + " profiles, but its " +
                            std::to_string(size) + " bytes can hold at most " + std::to_string(fitting));
    ProfilesRead_ = 0;
}

int64_t TMergeInput::BeginProfile()
{
    if (!HasMoreProfiles())
        throw EKorvelaError(Name_ + " has no profile left to read");
    ProfileWhere_ = "profile " + std::to_string(ProfilesRead_ + 1) + " (the block from byte " +
                    std::to_string(Reader_.StreamPosition()) + ")";
    Profile_ = Locating(ProfileWhere_, [&] {
        Reader_.ReadBlock();
        return ReadProfileHeader(Reader_, /*emptyRealIsZero=*/false);
    });
    ++ProfilesRead_;
    const int64_t length = Profile_.Length();
    if (length < 0)
        throw EKorvelaError(Name_ + ": profile " + std::to_string(ProfilesRead_) +
                            " has a negative number of elevations (m " + std::to_string(Profile_.M) + ", n " +
                            std::to_string(Profile_.N) + ")");
    // Bytes still available: the unread data plus at most the rest of the current block.
    const int64_t available = static_cast<int64_t>(Data_.size() - Reader_.StreamPosition()) + BlockBytes;
    if (length > available / ElevationWidth)
        throw EKorvelaError(Name_ + ": profile " + std::to_string(ProfilesRead_) + " claims " +
                            std::to_string(length) + " elevations, more than the rest of the file can hold");
    return length;
}

void TMergeInput::ReadProfile()
{
    const int64_t length = BeginProfile();
    Elevations_.resize(static_cast<size_t>(length));
    Locating(ProfileWhere_, [&] {
        for (int32_t& value : Elevations_)
            value = Reader_.ReadInt(ElevationWidth);
    });
}

void TMergeInput::SkipProfile()
{
    const int64_t length = BeginProfile();
    Elevations_.clear();
    Locating(ProfileWhere_, [&] { Reader_.SkipFields(length, ElevationWidth); });
}

std::string_view TMergeInput::RestOfFile() const
{
    const size_t start = Reader_.StreamPosition();
    return std::string_view(Data_.data() + start, Data_.size() - start);
}

} // namespace kv
