#include "mapview/ElevationSheet.h"

#include "platform/FileIO.h"
#include "platform/KVError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace kv {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string Fixed(double value, int decimals)
{
    char buffer[400];
    const std::to_chars_result result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

// The number that starts exactly at `start`, if one does; `end` receives where it stops.
std::optional<double> NumberAt(std::string_view text, size_t start, size_t& end)
{
    size_t i = start;
    if (i < text.size() && text[i] == '-')
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i]))
            digits = true;
        else if (text[i] == '.' && !point)
            point = true;
        else
            break;
    }
    if (!digits)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && text[j] == '-')
            ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j]))
                ++j;
            i = j;
        }
    }
    end = i;
    double value = 0.0;
    const std::from_chars_result result = std::from_chars(text.data() + start, text.data() + i, value);
    if (result.ec != std::errc() || result.ptr != text.data() + i)
        return std::nullopt;
    return value;
}

// Integer and real tokens of the elevation file.
class TElvTokenizer {
public:
    explicit TElvTokenizer(std::string_view text) : text_(text) {}

    int64_t Integer()
    {
        size_t start = 0;
        if (!Begin(false, start))
            return 0;
        size_t i = pos_;
        while (i < text_.size() && IsDigit(text_[i]))
            ++i;
        std::string_view digits = text_.substr(pos_, i - pos_);
        Finish(i);
        int64_t value = 0;
        const std::from_chars_result result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (result.ec == std::errc::result_out_of_range)
            value = std::numeric_limits<int64_t>::max();
        return text_[start] == '-' ? -value : value;
    }

    double Real()
    {
        size_t start = 0;
        if (!Begin(true, start))
            return 0.0;
        size_t i = pos_;
        while (i < text_.size() && (IsDigit(text_[i]) || text_[i] == '.' || text_[i] == 'E' || text_[i] == 'e' ||
                                    text_[i] == '+' || text_[i] == '-'))
            ++i;
        std::string_view body = text_.substr(pos_, i - pos_);
        Finish(i);
        double value = 0.0;
        const std::from_chars_result result = std::from_chars(body.data(), body.data() + body.size(), value);
        if (result.ec != std::errc() || !std::isfinite(value))
            return 0.0;
        return text_[start] == '-' ? -value : value;
    }

private:
    // Skips to the token's first character; `start` is its sign when one precedes it.
    bool Begin(bool real, size_t& start)
    {
        while (pos_ < text_.size() && !IsDigit(text_[pos_]) && !(real && text_[pos_] == '.'))
            ++pos_;
        if (pos_ >= text_.size())
            return false;
        start = pos_;
        if (pos_ > 0 && (text_[pos_ - 1] == '-' || text_[pos_ - 1] == '+'))
            start = pos_ - 1;
        return true;
    }
    // The character that ends a token is consumed.
    void Finish(size_t end) { pos_ = std::min(end + 1, text_.size()); }

    std::string_view text_;
    size_t pos_ = 0;
};

const std::string EmptyText;

} // namespace

std::optional<double> ScanNumber(std::string_view text, size_t& pos)
{
    while (pos < text.size()) {
        size_t end = pos;
        if (std::optional<double> value = NumberAt(text, pos, end)) {
            pos = end;
            return value;
        }
        // Not a number here: skip what could not start one, or the failed candidate.
        pos = std::max(end, pos) + 1;
    }
    pos = text.size();
    return std::nullopt;
}

double ParseCellNumber(std::string_view text)
{
    size_t pos = 0;
    return ScanNumber(text, pos).value_or(0.0);
}

bool CellCounts(std::string_view text)
{
    size_t pos = 0;
    return ScanNumber(text, pos).has_value();
}

TSheetCell NextCellOnEnter(TSheetCell cell)
{
    if (cell.Col + 1 < SheetCols)
        return {cell.Col + 1, cell.Row};
    return {0, std::min(cell.Row + 1, SheetRows - 1)};
}

TElevationSheet::TElevationSheet() : Cells_(SheetRows) {}

const std::string& TElevationSheet::CellText(int32_t col, int32_t row) const
{
    if (row < 0 || row >= SheetRows || col < 0)
        return EmptyText;
    const std::vector<std::string>& line = Cells_[size_t(row)];
    return size_t(col) < line.size() ? line[size_t(col)] : EmptyText;
}

void TElevationSheet::SetCellText(int32_t col, int32_t row, std::string text)
{
    if (row < 0 || row >= SheetRows || col < 0 || col >= SheetCols)
        return;
    std::vector<std::string>& line = Cells_[size_t(row)];
    if (size_t(col) >= line.size()) {
        if (text.empty())
            return;
        line.resize(size_t(col) + 1);
    }
    line[size_t(col)] = std::move(text);
}

void TElevationSheet::Clear()
{
    for (std::vector<std::string>& line : Cells_)
        line.clear();
}

TSheetExtent TElevationSheet::Extent() const
{
    TSheetExtent extent;
    for (int32_t r = 0; r < SheetRows && CellCounts(CellText(0, r)); ++r) {
        int32_t run = 0;
        while (run < SheetCols && CellCounts(CellText(run, r)))
            ++run;
        extent.Cols = std::max(extent.Cols, run);
    }
    for (int32_t c = 0; c < SheetCols && CellCounts(CellText(c, 0)); ++c) {
        int32_t run = 0;
        while (run < SheetRows && CellCounts(CellText(c, run)))
            ++run;
        extent.Rows = std::max(extent.Rows, run);
    }
    return extent;
}

std::string TElevationSheet::SizeText() const
{
    const TSheetExtent extent = Extent();
    return std::to_string(extent.Cols) + "," + std::to_string(extent.Rows);
}

void TElevationSheet::FillFromGrid(const TTopoGrid& grid, double unitFactor)
{
    Clear();
    for (int32_t r = 0; r < std::min(grid.Rows(), SheetRows); ++r)
        for (int32_t c = 0; c < std::min(grid.Cols(), SheetCols); ++c)
            SetCellText(c, r, Fixed(grid.Get(c, r) * unitFactor, 0));
}

bool TElevationSheet::WriteToGrid(TTopoGrid& grid, double unitFactor) const
{
    const TSheetExtent extent = Extent();
    for (int32_t r = 0; r < extent.Rows; ++r)
        for (int32_t c = 0; c < extent.Cols; ++c)
            grid.Set(c, r, ParseCellNumber(CellText(c, r)) / unitFactor);
    grid.SetSize(extent.Cols, extent.Rows);
    return extent.Cols > 0 && extent.Rows > 0;
}

std::string TElevationSheet::CopyText() const
{
    const TSheetExtent extent = Extent();
    std::string text;
    for (int32_t r = 0; r < extent.Rows; ++r) {
        for (int32_t c = 0; c < extent.Cols; ++c) {
            if (c > 0)
                text += '\t';
            text += CellText(c, r);
        }
        text += "\r\n";
    }
    return text;
}

void TElevationSheet::PasteText(std::string_view text)
{
    Clear();
    int32_t row = 0;
    size_t lineStart = 0;
    while (lineStart <= text.size() && row < SheetRows) {
        size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string_view::npos)
            lineEnd = text.size();
        const std::string_view line = text.substr(lineStart, lineEnd - lineStart);
        size_t pos = 0;
        for (int32_t col = 0; col < SheetCols; ++col) {
            const std::optional<double> value = ScanNumber(line, pos);
            if (!value)
                break;
            SetCellText(col, row, Fixed(*value, 1));
        }
        ++row;
        lineStart = lineEnd + 1;
    }
}

TElvHeader ReadElvText(std::string_view text, TElevationSheet& sheet, double unitFactor)
{
    TElvTokenizer tokens(text);
    const int64_t cols = tokens.Integer();
    const int64_t rows = tokens.Integer();
    if (cols < 0 || rows < 0 || cols > SheetCols || rows > SheetRows)
        throw EKorvelaError("The elevation file gives " + std::to_string(cols) + " columns and " +
                            std::to_string(rows) + " rows; the table holds 0 to " + std::to_string(SheetCols) +
                            " columns and 0 to " + std::to_string(SheetRows) + " rows.");
    TElvHeader header;
    header.Cols = int32_t(cols);
    header.Rows = int32_t(rows);
    header.EastSpacing = std::clamp(tokens.Real(), ElvSpacingMin, ElvSpacingMax);
    header.NorthSpacing = std::clamp(tokens.Real(), ElvSpacingMin, ElvSpacingMax);
    tokens.Real();
    tokens.Real();
    tokens.Integer();
    for (int32_t r = 0; r < header.Rows; ++r)
        for (int32_t c = 0; c < header.Cols; ++c)
            sheet.SetCellText(c, r, Fixed(tokens.Real() * unitFactor, 1));
    return header;
}

TElvHeader LoadElvFile(const std::filesystem::path& fileName, TElevationSheet& sheet, double unitFactor)
{
    const std::vector<char> bytes = ReadWholeFile(fileName);
    return ReadElvText(std::string_view(bytes.data(), bytes.size()), sheet, unitFactor);
}

std::string ElvText(const TElevationSheet& sheet, double eastResolution, double northResolution, double unitFactor)
{
    const TSheetExtent extent = sheet.Extent();
    std::string text = std::to_string(extent.Cols) + "," + std::to_string(extent.Rows) + "\r\n";
    text += Fixed(eastResolution / unitFactor, 1) + "," + Fixed(northResolution / unitFactor, 1) + "\r\n";
    text += "0.0,0.0,31\r\n";
    for (int32_t r = 0; r < extent.Rows; ++r) {
        for (int32_t c = 0; c < extent.Cols; ++c) {
            if (c > 0)
                text += ',';
            text += Fixed(ParseCellNumber(sheet.CellText(c, r)) / unitFactor, 1);
        }
        text += "\r\n";
    }
    return text;
}

void SaveElvFile(const std::filesystem::path& fileName, const TElevationSheet& sheet, double eastResolution,
                 double northResolution, double unitFactor)
{
    WriteFileAtomically(fileName, ElvText(sheet, eastResolution, northResolution, unitFactor));
}

} // namespace kv
