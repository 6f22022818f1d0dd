#pragma once
// One input of the DEM merge: a USGS DEM file held in memory and read as text, record A
// first, then one profile at a time, without building a grid.

#include "DEMBlockReader.h"
#include "dem/DEMLib.h"
#include "DEMRecords.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

class TMergeInput {
public:
    // `data` must outlive the input; `name` is the file name used in messages.
    TMergeInput(std::span<const char> data, std::string name);

    // Reads the first block and record A (empty real fields fail, the map name stays raw),
    // replaces an all-zero corner set, and checks the profile count against the data.
    // Throws EKorvelaError on a malformed field, a negative count or a count the file
    // cannot hold. Every message names the file, and the record or profile (with the byte
    // its block starts at) where the reading failed.
    void ReadHeader();

    const TDEMInfo& Info() const { return Info_; }
    const std::string& Name() const { return Name_; }
    int64_t ProfileCount() const { return ProfileCount_; }
    int64_t ProfilesRead() const { return ProfilesRead_; }
    bool HasMoreProfiles() const { return ProfilesRead_ < ProfileCount_; }

    // Reads the next profile (a new block, its header, its elevations). Throws
    // EKorvelaError when no profile is left, on a malformed field, on a negative length or
    // a length the rest of the file cannot hold, and "Stream read error" past the end.
    void ReadProfile();

    // Reads the next profile's header and steps over its elevations without keeping them.
    void SkipProfile();

    // The profile read last.
    const TProfileHeader& Profile() const { return Profile_; }
    std::span<const int32_t> Elevations() const { return Elevations_; }

    // The bytes after the last block read (a record C or trailing bytes), as they stand.
    std::string_view RestOfFile() const;

private:
    // Starts the next profile: new block, header, length check. Returns its length.
    int64_t BeginProfile();

    // Runs `read`; a failure of the block reader is rethrown naming this file and `where`.
    template <typename TRead>
    auto Locating(const std::string& where, TRead read);

    std::span<const char> Data_;
    std::string Name_;
    TDEMBlockReader Reader_;
    TDEMInfo Info_;
    int64_t ProfileCount_ = 0;
    int64_t ProfilesRead_ = 0;
    TProfileHeader Profile_;
    std::string ProfileWhere_; // "profile 3 (the block from byte 3072)", for messages
    std::vector<int32_t> Elevations_;
};

} // namespace kv
