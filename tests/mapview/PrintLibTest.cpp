// Print fitting and strips, against a surface that records what reaches the printer.

#include "mapview/PrintLib.h"

#include "platform/KVError.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace kv {
namespace {

struct TRecordedCopy {
    TRect Dest;
    TRect Source;
};

class TRecordingSurface : public TPrintSurface {
public:
    TRecordingSurface(int32_t width, int32_t height) : Width_(width), Height_(height) {}
    int32_t PageWidth() const override { return Width_; }
    int32_t PageHeight() const override { return Height_; }
    void BeginDoc(const std::string& title) override { Events.push_back("begin " + title); }
    void CopyRect(const TRect& dest, const TBitmap&, const TRect& sourceRect) override
    {
        if (FailAtCopy == int(Copies.size()))
            throw EKorvelaError("Printer out of paper");
        Copies.push_back({dest, sourceRect});
    }
    void EndDoc() override { Events.push_back("end"); }

    std::vector<std::string> Events;
    std::vector<TRecordedCopy> Copies;
    int FailAtCopy = -1;

private:
    int32_t Width_;
    int32_t Height_;
};

TEST(PrintLibTest, LayoutFitsAndKeepsProportions)
{
    struct TCase {
        const char* Name;
        int32_t Bw, Bh;
        bool Fit;
        TPrintLayout Expected;
    };
    // A page of 4800 x 6400 printer pixels: the area is 4775 x 6375.
    const TCase cases[] = {
        {"small, enlarged to the width", 200, 100, true, {4775, 2387, 2388}},
        {"small and tall, enlarged to the height, not off the page", 100, 300, true, {2125, 6375, 2125}},
        {"small, as it is", 200, 100, false, {200, 100, 100}},
        {"large, shrunk to the width", 5000, 2500, true, {4775, 2387, 96}},
        {"large, shrunk to the height", 2000, 8000, true, {1593, 6375, 80}},
        {"large, as it is", 5000, 2500, false, {5000, 2500, 100}},
        {"as wide as the area counts as large", 4775, 10, true, {4775, 10, 100}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(PrintLayout(c.Bw, c.Bh, 4800, 6400, c.Fit, c.Fit), c.Expected);
    }
    EXPECT_THROW(PrintLayout(0, 10, 4800, 6400, true, true), EKorvelaError);
    EXPECT_THROW(PrintLayout(10, 10, 25, 6400, true, true), EKorvelaError);
}

TEST(PrintLibTest, StripsOfAHundredRowsGoDownThePage)
{
    TRecordingSurface printer(4800, 6400);
    TBitmap bitmap(200, 250, pf24bit);
    std::vector<int> percents;
    PrintBitmap(printer, bitmap, [&](int percent) { percents.push_back(percent); }, true, true);

    // 200 x 250 enlarged to 4775 wide: strips of round(100 x 4775 / 200) = 2388 pixels.
    ASSERT_EQ(printer.Copies.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(printer.Copies[size_t(k)].Source, (TRect{0, k * 100, 200, k * 100 + 100}));
        EXPECT_EQ(printer.Copies[size_t(k)].Dest, (TRect{5, 5 + k * 2388, 4775, 5 + (k + 1) * 2388}));
    }
    EXPECT_EQ(percents, (std::vector<int>{0, 40, 80}));
    EXPECT_EQ(printer.Events, (std::vector<std::string>{"begin Test", "end"}));
}

TEST(PrintLibTest, FailedStripStillEndsTheDocument)
{
    TRecordingSurface printer(1000, 1000);
    printer.FailAtCopy = 1;
    TBitmap bitmap(50, 300, pf24bit);
    EXPECT_THROW(PrintBitmap(printer, bitmap, nullptr, false, false), EKorvelaError);
    EXPECT_EQ(printer.Events, (std::vector<std::string>{"begin Test", "end"}));
}

} // namespace
} // namespace kv
