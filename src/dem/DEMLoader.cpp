#include "dem/DEMLoader.h"

#include "DEMBlockReader.h"
#include "DEMFields.h"
#include "DEMLoaderPaths.h"
#include "DEMRecords.h"
#include "platform/FileIO.h"
#include "platform/KVError.h"
#include "platform/Rounding.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#define KV_DEM_MAP_FILES 1
#endif

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kv {

namespace {

constexpr int BlockSize = TDEMBlockReader::BlockSize;
constexpr int ElevationWidth = 6;
constexpr int ProfileHeaderWidth = 4 * 6 + 5 * 24;
constexpr int32_t VoidThreshold = -1000; // an elevation at or below it marks a void cell
// A field never reaches the last byte of its block: the first block of a profile holds this
// many elevations after the header, every further block this many from its start.
constexpr int FirstBlockElevations = (BlockSize - 1 - ProfileHeaderWidth) / ElevationWidth;
constexpr int BlockElevations = (BlockSize - 1) / ElevationWidth;
// Profiles may cover only part of the grid's rows, but a grid with more than this many times
// the cells its data could fill is refused: its memory is bounded by the size of the file.
constexpr int64_t MaxCellsPerElevation = 4;
// Below this many cells per thread, starting a thread costs more than it saves.
constexpr int64_t MinCellsPerThread = int64_t{1} << 18;

// Whole numbers in plain digits, anything else in its shortest exact form.
std::string FormatNumber(double value)
{
    if (std::trunc(value) == value && std::fabs(value) < 1e15)
        return std::to_string(static_cast<int64_t>(value));
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}


bool IsLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

struct TDefects {
    int32_t CarriageReturns = 0;
    int32_t LineFeeds = 0;
    int32_t InvalidCorners = 0;
    int32_t ProfilesOutOfBounds = 0;
};

void BuildDefectReport(const TDefects& defects, TDEMInfo& info)
{
    const std::pair<const char*, int32_t> kinds[] = {
        {"Embedded Carriage Returns: ", defects.CarriageReturns},
        {"Embedded Line Feeds: ", defects.LineFeeds},
        {"Invalid Corners: ", defects.InvalidCorners},
        {"Profiles Out Of Bounds: ", defects.ProfilesOutOfBounds},
    };
    info.ErrorText.clear();
    info.ErrorCount = 0;
    for (const auto& [text, count] : kinds) {
        if (count <= 0)
            continue;
        info.ErrorText += text + std::to_string(count) + "\r\n";
        ++info.ErrorCount;
    }
}

// A field error of the block reader as one sentence that says where: the file's name, then
// the byte and the field, or where the data ended. `where` is "record A" or "profile 12";
// `field` names the field, `fieldAtEnd` too when the data ended inside it.
[[noreturn]] void ThrowLocated(const std::string& name, const EDEMFieldError& error, const std::string& where,
                               const std::string& field, const std::string& fieldAtEnd)
{
    if (error.EndOfData())
        throw EKorvelaError(name + ": the file ends at byte " + std::to_string(error.Offset()) + " inside " + where +
                            " (" + fieldAtEnd + ")");
    throw EKorvelaError(name + ": byte " + std::to_string(error.Offset()) + ", " + where + ", " + field + ": " +
                        error.what());
}

std::string FieldName(const EDEMFieldError& error)
{
    return error.Field() != nullptr ? error.Field() : "a field";
}

// The grid size record A describes, refused before anything is allocated when the data
// cannot back it.
struct TGridLayout {
    int32_t ProfileCount = 0;
    int32_t GridRows = 0;
    double BaseNorth = 0.0;
    double NorthSpan = 0.0;
};

TGridLayout PlanGrid(const TDEMInfo& info, size_t dataSize, const std::string& name)
{
    TGridLayout layout;
    layout.BaseNorth = BaseNorthOf(info);
    layout.NorthSpan = NorthSpanOf(info);
    const std::string file = name + ": the file";

    const int64_t profiles = int64_t{info.ProfileRows} * int64_t{info.ProfileCols};
    if (profiles < 0)
        throw EKorvelaError(file + " declares a negative number of profiles: " + std::to_string(info.ProfileRows) +
                            " rows by " + std::to_string(info.ProfileCols) + " columns of profiles");
    // Every profile starts a block of its own.
    const uint64_t maxProfiles = dataSize / BlockSize + 1;
    if (static_cast<uint64_t>(profiles) > maxProfiles)
        throw EKorvelaError(file + " declares " + std::to_string(profiles) + " profiles, but its " +
                            std::to_string(dataSize) + " bytes can hold at most " + std::to_string(maxProfiles));
    // A grid without a column or a row holds no elevation: no DEM at all, not an empty one.
    if (profiles == 0)
        throw EKorvelaError(name + ": no elevations: record A declares " + std::to_string(info.ProfileRows) +
                            " rows by " + std::to_string(info.ProfileCols) + " columns of profiles");

    const double ySpacing = info.Resolution[1];
    if (ySpacing == 0.0)
        throw EKorvelaError(file + " has a y spacing of 0, so its grid rows cannot be computed");
    if (layout.NorthSpan == 0.0)
        throw EKorvelaError(file + " has a north span of 0, so its profiles cannot be placed");
    const double rows = std::trunc(layout.NorthSpan / ySpacing);
    if (!std::isfinite(rows) || rows < 0.0)
        throw EKorvelaError(file + " has an invalid grid height: a north span of " + FormatNumber(layout.NorthSpan) +
                            " over a y spacing of " + FormatNumber(ySpacing) + " gives " + FormatNumber(rows) +
                            " rows");
    // A profile holds its elevations in 6-character fields.
    const int64_t maxElevations = static_cast<int64_t>(dataSize / ElevationWidth + 1);
    if (rows > static_cast<double>(maxElevations))
        throw EKorvelaError(file + " declares " + FormatNumber(rows) + " grid rows, but its " +
                            std::to_string(dataSize) + " bytes can hold at most " + std::to_string(maxElevations) +
                            " elevations per profile");
    if (rows == 0.0)
        throw EKorvelaError(name + ": no elevations: a north span of " + FormatNumber(layout.NorthSpan) +
                            " over a y spacing of " + FormatNumber(ySpacing) + " leaves no grid row");
    // Both counts are now bounded by the data; their product must be too.
    const auto gridRows = static_cast<int64_t>(rows);
    if (profiles * gridRows / MaxCellsPerElevation > maxElevations)
        throw EKorvelaError(file + " declares a grid of " + std::to_string(profiles) + " by " +
                            std::to_string(gridRows) + " cells, more than " + std::to_string(MaxCellsPerElevation) +
                            " times the " + std::to_string(maxElevations) + " elevations its " +
                            std::to_string(dataSize) + " bytes can hold");
    CheckGridSize(profiles, gridRows, file);
    layout.ProfileCount = static_cast<int32_t>(profiles);
    layout.GridRows = static_cast<int32_t>(gridRows);
    return layout;
}

// Running range of the valid elevations loaded.
struct TDataRange {
    int32_t Min = 32767;
    int32_t Max = -32767;

    void Add(const TDataRange& other)
    {
        Min = std::min(Min, other.Min);
        Max = std::max(Max, other.Max);
    }
};

// The rows of its column a profile fills: [First, Last). A start outside the grid is placed
// at row 0 and counted as a defect (InBounds false).
struct TProfileRows {
    int32_t First = 0;
    int32_t Last = 0;
    bool InBounds = true;
};

TProfileRows ProfileRowsOf(const TProfileHeader& header, const TGridLayout& layout)
{
    const int32_t rows = layout.GridRows;
    // Checked as a double: a far-off northing must not overflow the conversion.
    const double start = RoundHalfEven((header.Y0 - layout.BaseNorth) / layout.NorthSpan * rows);
    TProfileRows placed;
    placed.InBounds = start >= 0.0 && start <= static_cast<double>(rows); // start = rows stores nothing
    const int64_t first = placed.InBounds ? static_cast<int64_t>(start) : 0;
    placed.First = static_cast<int32_t>(first);
    placed.Last = static_cast<int32_t>(std::clamp<int64_t>(first + std::max<int64_t>(header.Length(), 0), first, rows));
    return placed;
}

// Record A into `info`, with the fields it does not carry and the corner check.
void ReadHeader(TDEMBlockReader& reader, TDEMInfo& info, TDefects& defects, const std::string& name)
{
    try {
        reader.ReadBlock();
        ReadRecordA(reader, info, true, true);
    } catch (const EDEMFieldError& error) {
        const std::string field = FieldName(error);
        ThrowLocated(name, error, "record A", field, field);
    }
    info.IsUTM = info.GroundRef == 1;
    info.HorizDatum = 1;
    info.MapScale = 0;
    info.DataID = "?";
    info.SourceFormat = dfUSGS;
    info.CreationDate = "?";
    info.OriginEast = 0.0;
    info.OriginNorth = 0.0;
    if (ReplaceZeroCorners(info))
        ++defects.InvalidCorners;
}

// ---- Profiles in order ----------------------------------------------------------------------

// Reads the profile that starts at the current block into column `col`. Returns false when
// its start lies outside the grid (it is then placed from row 0).
bool ReadProfileInOrder(TDEMBlockReader& reader, const TGridLayout& layout, int32_t col, TDEMArray& dem,
                        TDataRange& range, const std::string& name, size_t dataSize)
{
    const auto where = [col] { return "profile " + std::to_string(int64_t{col} + 1); };
    reader.ReadBlock();
    TProfileHeader header;
    try {
        header = ReadProfileHeader(reader, true);
    } catch (const EDEMFieldError& error) {
        if (error.EndOfData() && reader.BlockLength() == 0)
            throw EKorvelaError(name + ": the file ends at byte " + std::to_string(dataSize) + ", before " + where() +
                                " of " + std::to_string(layout.ProfileCount));
        const std::string field = FieldName(error);
        ThrowLocated(name, error, where(), field, field);
    }
    const TProfileRows placed = ProfileRowsOf(header, layout);

    int32_t* cells = dem.Column(col);
    std::fill(cells, cells + placed.First, VoidValue);
    for (int32_t row = placed.First; row < placed.Last; ++row) {
        int32_t value = 0;
        try {
            value = reader.ReadInt(ElevationWidth);
        } catch (const EDEMFieldError& error) {
            const std::string elevation = "elevation " + std::to_string(int64_t{row} - placed.First + 1);
            ThrowLocated(name, error, where(), elevation, elevation + " of " + std::to_string(header.Length()));
        }
        if (value <= VoidThreshold) {
            cells[row] = VoidValue;
            continue;
        }
        cells[row] = value;
        range.Min = std::min(range.Min, value);
        range.Max = std::max(range.Max, value);
    }
    std::fill(cells + placed.Last, cells + layout.GridRows, VoidValue);
    return placed.InBounds;
}

// ---- Profiles found first, parsed in parallel ---------------------------------------------

// Where one profile lies: its blocks are ProfileScan.BlockStarts[FirstBlock] up to the next
// profile's FirstBlock; it fills rows [First, Last) of its column.
struct TProfileSpan {
    size_t FirstBlock = 0;
    int32_t First = 0;
    int32_t Last = 0;
};

struct TProfileScan {
    std::vector<size_t> BlockStarts;    // offset in the data of every block read, in file order
    std::vector<TProfileSpan> Profiles; // one per profile, then one whose FirstBlock ends the last
    TDefects Defects;                   // line breaks and profiles out of bounds
};

// Skips the run of line breaks at `pos`, counting it as the block reader does.
size_t SkipLineBreaks(std::span<const char> data, size_t pos, TDefects& defects)
{
    if (pos < data.size() && IsLineBreak(data[pos])) {
        (data[pos] == '\r' ? defects.CarriageReturns : defects.LineFeeds)++;
        while (pos < data.size() && IsLineBreak(data[pos]))
            ++pos;
    }
    return pos;
}

bool TryReadProfileHeader(const char* text, TProfileHeader& header)
{
    const auto intAt = [text](int offset, int32_t& value) {
        return TryParseIntField(std::string_view(text + offset, 6), value);
    };
    const auto realAt = [text](int offset, double& value) {
        return TryParseRealField(std::string_view(text + offset, 24), true, value);
    };
    return intAt(0, header.Row) && intAt(6, header.Col) && intAt(12, header.M) && intAt(18, header.N) &&
           realAt(24, header.X0) && realAt(48, header.Y0) && realAt(72, header.Datum) && realAt(96, header.Min) &&
           realAt(120, header.Max);
}

// Finds the blocks of every profile as the block reader would fill them, on the premise that
// line breaks come only between blocks (each block is 1024 bytes of data as they stand),
// and reads the profile headers. The blocks' contents are checked by the parse. Starts at
// `pos`, just after record A's block, with the line breaks counted there. Returns false when
// the data does not follow the premise or does not hold what the profiles need.
//
// Line breaks are looked for before every block only when the file has one after record A;
// else only before each profile, so that the scan touches one place per profile rather than
// per block, and a break elsewhere is left for the parse to find (it then gives up).
bool FindProfiles(std::span<const char> data, size_t pos, const TGridLayout& layout, TProfileScan& scan)
{
    const bool breaksBetweenBlocks = pos < data.size() && IsLineBreak(data[pos]);
    const size_t size = data.size();
    scan.Profiles.reserve(static_cast<size_t>(layout.ProfileCount) + 1);
    for (int32_t col = 0; col < layout.ProfileCount; ++col) {
        pos = SkipLineBreaks(data, pos, scan.Defects);
        TProfileHeader header;
        if (pos > size || size - pos < static_cast<size_t>(ProfileHeaderWidth) ||
            !TryReadProfileHeader(data.data() + pos, header))
            return false;
        const TProfileRows placed = ProfileRowsOf(header, layout);
        if (!placed.InBounds)
            ++scan.Defects.ProfilesOutOfBounds;
        scan.Profiles.push_back({scan.BlockStarts.size(), placed.First, placed.Last});
        scan.BlockStarts.push_back(pos);

        // Bytes of its last block the profile reads: the header and the elevations left for it.
        int64_t left = int64_t{placed.Last} - placed.First;
        size_t needed =
            ProfileHeaderWidth + ElevationWidth * static_cast<size_t>(std::min<int64_t>(left, FirstBlockElevations));
        left -= FirstBlockElevations;
        while (left > 0) {
            if (size - pos < static_cast<size_t>(BlockSize))
                return false; // a block it reads on from must be whole
            pos += BlockSize;
            if (breaksBetweenBlocks) {
                // Each step waits for the byte before it: fetch a few blocks ahead.
                __builtin_prefetch(data.data() + std::min(pos + 8 * BlockSize, size - 1));
                pos = SkipLineBreaks(data, pos, scan.Defects);
            }
            scan.BlockStarts.push_back(pos);
            needed = ElevationWidth * static_cast<size_t>(std::min<int64_t>(left, BlockElevations));
            left -= BlockElevations;
        }
        if (pos > size || size - pos < needed)
            return false;
        pos += std::min<size_t>(BlockSize, size - pos);
    }
    scan.Profiles.push_back({scan.BlockStarts.size(), 0, 0});
    return true;
}

// True when the block holds a byte below the blank: a line break, perhaps.
bool HasControlBytes(const char* block, size_t length)
{
    size_t i = 0;
#if defined(__SSE2__)
    // The smallest byte of the block, 16 at a time.
    __m128i smallest = _mm_set1_epi8(static_cast<char>(0xFF));
    for (; i + 16 <= length; i += 16)
        smallest = _mm_min_epu8(smallest, _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + i)));
    const __m128i belowBlank = _mm_cmpeq_epi8(_mm_min_epu8(smallest, _mm_set1_epi8(0x1F)), smallest);
    if (_mm_movemask_epi8(belowBlank) != 0)
        return true;
#endif
    for (; i < length; ++i)
        if (static_cast<unsigned char>(block[i]) < 0x20)
            return true;
    return false;
}

bool HasLineBreak(const char* block, size_t length)
{
    return std::memchr(block, '\r', length) != nullptr || std::memchr(block, '\n', length) != nullptr;
}

// Parses profiles [begin, end) into their columns. Returns false, leaving the rest, at the
// first block with a line break inside or a field the block reader would refuse.
bool ParseProfiles(std::span<const char> data, const TProfileScan& scan, const TGridLayout& layout, int32_t begin,
                   int32_t end, TDEMArray& dem, TDataRange& range, const std::atomic<bool>& stop)
{
    int32_t low = range.Min;
    int32_t high = range.Max;
    for (int32_t col = begin; col < end; ++col) {
        if (stop.load(std::memory_order_relaxed))
            return false;
        const TProfileSpan& span = scan.Profiles[static_cast<size_t>(col)];
        const size_t endBlock = scan.Profiles[static_cast<size_t>(col) + 1].FirstBlock;
        int32_t* cells = dem.Column(col);
        std::fill(cells, cells + span.First, VoidValue);
        int32_t* next = cells + span.First;
        int32_t left = span.Last - span.First;
        for (size_t block = span.FirstBlock; block < endBlock; ++block) {
            const size_t start = scan.BlockStarts[block];
            const char* text = data.data() + start;
            const size_t length = std::min<size_t>(BlockSize, data.size() - start);
            if (HasControlBytes(text, length) && HasLineBreak(text, length))
                return false;
            const bool first = block == span.FirstBlock;
            const int32_t count = std::min(left, first ? FirstBlockElevations : BlockElevations);
            const char* field = text + (first ? ProfileHeaderWidth : 0);
            for (int32_t i = 0; i < count; ++i, field += ElevationWidth) {
                int32_t value = 0;
                if (!TryParseCompactInt6(field, value) &&
                    !TryParseIntField(std::string_view(field, ElevationWidth), value))
                    return false;
                const bool valid = value > VoidThreshold;
                *next++ = valid ? value : VoidValue;
                low = std::min(low, valid ? value : low);
                high = std::max(high, valid ? value : high);
            }
            left -= count;
        }
        std::fill(next, cells + layout.GridRows, VoidValue);
    }
    range.Min = low;
    range.Max = high;
    return true;
}

unsigned ChunkCount(const TGridLayout& layout, unsigned threads)
{
    if (threads == 0) {
        const int64_t cells = int64_t{layout.ProfileCount} * layout.GridRows;
        const int64_t useful = std::max<int64_t>(cells / MinCellsPerThread, 1);
        threads = static_cast<unsigned>(std::min<int64_t>(useful, std::max(std::thread::hardware_concurrency(), 1u)));
    }
    return static_cast<unsigned>(std::clamp<int64_t>(threads, 1, std::max(layout.ProfileCount, 1)));
}

// Runs work(0) ... work(chunks - 1), one thread each; this thread runs chunk 0 and any chunk
// whose thread could not be started. `work` must not throw.
template <typename TWork>
void RunChunks(unsigned chunks, const TWork& work)
{
    std::vector<std::thread> workers;
    unsigned started = 1;
    try {
        workers.reserve(chunks);
        for (; started < chunks; ++started)
            workers.emplace_back(work, started);
    } catch (const std::exception&) {
        // No more threads: this one runs the chunks that have none.
    }
    work(0u);
    for (unsigned chunk = started; chunk < chunks; ++chunk)
        work(chunk);
    for (std::thread& worker : workers)
        worker.join();
}

// Reads one byte of every page of `data`. Where pages are slow to touch the first time (page
// faults of a mapped file, virtual machines), each thread pays for its own share instead of
// the scan paying for them all, one after the other.
void TouchPages(std::span<const char> data)
{
    constexpr size_t page = 4096;
    unsigned sum = 0;
    for (size_t pos = 0; pos < data.size(); pos += page)
        sum += static_cast<unsigned char>(data[pos]);
    static std::atomic<unsigned> sink{0};
    sink.fetch_add(sum, std::memory_order_relaxed);
}

// Finds the profiles, then parses them in chunks of columns, one thread per chunk. Returns
// false when the profiles must be read in order instead; the columns may then be partly written.
bool ReadProfilesFoundFirst(std::span<const char> data, const TDEMBlockReader& reader, const TGridLayout& layout,
                            unsigned threads, TDEMArray& dem, TDataRange& range, TDefects& defects)
{
    const unsigned chunks = ChunkCount(layout, threads);
    const std::span<const char> profiles = data.subspan(std::min(reader.StreamPosition(), data.size()));
    RunChunks(chunks, [&](unsigned chunk) {
        TouchPages(profiles.subspan(profiles.size() * chunk / chunks,
                                    profiles.size() * (chunk + 1) / chunks - profiles.size() * chunk / chunks));
    });

    TProfileScan scan;
    scan.Defects.CarriageReturns = reader.CarriageReturns();
    scan.Defects.LineFeeds = reader.LineFeeds();
    if (!FindProfiles(data, reader.StreamPosition(), layout, scan))
        return false;

    std::vector<TDataRange> ranges(chunks);
    std::vector<char> parsed(chunks, 0);
    std::atomic<bool> stop{false};
    RunChunks(chunks, [&](unsigned chunk) {
        const auto begin = static_cast<int32_t>(int64_t{layout.ProfileCount} * chunk / chunks);
        const auto end = static_cast<int32_t>(int64_t{layout.ProfileCount} * (chunk + 1) / chunks);
        parsed[chunk] = ParseProfiles(data, scan, layout, begin, end, dem, ranges[chunk], stop);
        if (!parsed[chunk])
            stop.store(true, std::memory_order_relaxed);
    });

    if (std::find(parsed.begin(), parsed.end(), 0) != parsed.end())
        return false;
    for (const TDataRange& chunkRange : ranges)
        range.Add(chunkRange);
    defects.CarriageReturns = scan.Defects.CarriageReturns;
    defects.LineFeeds = scan.Defects.LineFeeds;
    defects.ProfilesOutOfBounds = scan.Defects.ProfilesOutOfBounds;
    return true;
}

// ---- Files ----------------------------------------------------------------------------------

// The bytes of a file: mapped read-only where the system can, else read into memory.
class TFileBytes {
public:
    explicit TFileBytes(const std::filesystem::path& fileName)
    {
#if defined(KV_DEM_MAP_FILES)
        const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            struct stat status {};
            const bool isFile = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
            const bool isFolder = !isFile && S_ISDIR(status.st_mode);
            if (isFile && status.st_size > 0) {
                const auto size = static_cast<size_t>(status.st_size);
                void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
                if (map != MAP_FAILED) {
                    Map_ = map;
                    Bytes_ = {static_cast<const char*>(map), size};
                }
            }
            ::close(fd);
            if (isFolder)
                throw EKorvelaError(CannotOpenMessage(fileName));
            if (Map_ != nullptr)
                return;
        }
#endif
        Copy_ = ReadWholeFile(fileName);
        Bytes_ = Copy_;
    }

    ~TFileBytes()
    {
#if defined(KV_DEM_MAP_FILES)
        if (Map_ != nullptr)
            ::munmap(Map_, Bytes_.size());
#endif
    }

    TFileBytes(const TFileBytes&) = delete;
    TFileBytes& operator=(const TFileBytes&) = delete;

    std::span<const char> Bytes() const { return Bytes_; }

private:
    void* Map_ = nullptr;
    std::vector<char> Copy_;
    std::span<const char> Bytes_;
};

} // namespace

bool HasUSGSRecordA(std::span<const char> data, std::string* problem)
{
    TDEMBlockReader reader(data);
    TDEMInfo info;
    try {
        reader.ReadBlock();
        ReadRecordA(reader, info, false, true);
    } catch (const EKorvelaError& error) {
        if (problem)
            *problem = error.what();
        return false;
    }
    return true;
}

double BaseNorthOf(const TDEMInfo& info)
{
    return std::min(info.Corners[cnSW].North, info.Corners[cnSE].North);
}

double NorthSpanOf(const TDEMInfo& info)
{
    return std::max(info.Corners[cnNW].North, info.Corners[cnNE].North) - BaseNorthOf(info);
}

TDEMReadPath LoadDEMStreamWith(std::span<const char> data, TDEMArray& dem, std::string_view name,
                               const TDEMReadOptions& options)
{
    const std::string fileName(name);
    TDEMInfo& info = dem.Info;
    TDefects defects;
    TDataRange range;
    info.ErrorCount = 0;
    info.ErrorText.clear();
    TDEMBlockReader reader(data);
    TDEMReadPath path = rpInOrder;
    bool inOrder = true;
    try {
        ReadHeader(reader, info, defects, fileName);
        const TGridLayout layout = PlanGrid(info, data.size(), fileName);
        info.DataMin = range.Min;
        info.DataMax = range.Max;
        dem.SetSize(layout.ProfileCount, layout.GridRows);
        if (!options.InOrder && layout.ProfileCount > 0) {
            inOrder = !ReadProfilesFoundFirst(data, reader, layout, options.Threads, dem, range, defects);
            path = inOrder ? rpFellBack : rpFoundFirst;
        }
        if (inOrder) {
            for (int32_t col = 0; col < layout.ProfileCount; ++col)
                if (!ReadProfileInOrder(reader, layout, col, dem, range, fileName, data.size()))
                    ++defects.ProfilesOutOfBounds;
        }
    } catch (...) {
        if (range.Min <= range.Max) {
            info.DataMin = range.Min;
            info.DataMax = range.Max;
        }
        defects.CarriageReturns = reader.CarriageReturns();
        defects.LineFeeds = reader.LineFeeds();
        BuildDefectReport(defects, info);
        throw;
    }
    info.DataMin = range.Min;
    info.DataMax = range.Max;
    if (inOrder) {
        defects.CarriageReturns = reader.CarriageReturns();
        defects.LineFeeds = reader.LineFeeds();
    }
    BuildDefectReport(defects, info);
    return path;
}

void LoadDEMStream(std::span<const char> data, TDEMArray& dem, std::string_view name)
{
    LoadDEMStreamWith(data, dem, name, TDEMReadOptions{});
}

void LoadDEMFile(const std::filesystem::path& fileName, TDEMArray& dem)
{
    const TFileBytes file(fileName);
    LoadDEMStream(file.Bytes(), dem, fileName.filename().string());
}

} // namespace kv
