#include "platform/gui/Printers.h"
#include "platform/KVError.h"
#include "support/TestData.h"
#include "GUITestApp.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace kv {
namespace {

int Count(const std::string& text, const std::regex& pattern)
{
    return int(std::distance(std::sregex_iterator(text.begin(), text.end(), pattern), std::sregex_iterator()));
}

TEST(Printers, PrintsToAPDFFileThatHoldsOnlyWhatWasDrawn)
{
    test::GUITestApp();
    test::TTempDir dir;
    TPrinter printer(dir / "out.pdf", 100);
    // A4 is 827 x 1169 pixels at 100 per inch; the printable area lies inside.
    EXPECT_GT(printer.PageWidth(), 600);
    EXPECT_LE(printer.PageWidth(), 827);
    EXPECT_GT(printer.PageHeight(), 900);
    EXPECT_LE(printer.PageHeight(), 1169);
    EXPECT_FALSE(printer.Printing());
    EXPECT_THROW(printer.Canvas(), EKorvelaError);

    printer.BeginDoc("Test");
    EXPECT_THROW(printer.BeginDoc("Again"), EKorvelaError);
    TCanvas& canvas = printer.Canvas();
    EXPECT_EQ(canvas.Bitmap().Width(), printer.PageWidth());
    canvas.Brush.Color = clRed;
    canvas.FillRect({100, 200, 150, 220});
    printer.NewPage();
    printer.Canvas().Pen.Color = clBlack;
    printer.Canvas().Line({10, 10}, {10, 40}, leDrawLast);
    printer.EndDoc();
    EXPECT_FALSE(printer.Printing());

    const std::string pdf = test::ReadFileText(dir / "out.pdf");
    ASSERT_EQ(pdf.substr(0, 5), "%PDF-");
    // The document title, as PDF text in UTF-16 with its byte order mark.
    EXPECT_NE(pdf.find("/Title (\xFE\xFF" + std::string("\0T\0e\0s\0t", 8) + ")"), std::string::npos);
    EXPECT_EQ(Count(pdf, std::regex("/Type\\s*/Page[^s]")), 2);
    // Each page carries a picture of just what was drawn on it: 50 x 20, then 1 x 31.
    EXPECT_EQ(Count(pdf, std::regex("/Width 50\\s*/Height 20")), 1) << pdf.substr(0, 2000);
    EXPECT_EQ(Count(pdf, std::regex("/Width 1\\s*/Height 31")), 1);
}

TEST(Printers, ABlankDocumentStillEndsProperly)
{
    test::GUITestApp();
    test::TTempDir dir;
    TPrinter printer(dir / "blank.pdf", 72);
    printer.BeginDoc("Blank");
    printer.EndDoc();
    EXPECT_THROW(printer.EndDoc(), EKorvelaError);
    EXPECT_EQ(test::ReadFileText(dir / "blank.pdf").substr(0, 5), "%PDF-");
}

} // namespace
} // namespace kv
