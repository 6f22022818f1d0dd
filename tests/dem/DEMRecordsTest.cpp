#include "DEMRecords.h"

#include "platform/KVError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <span>
#include <string>

namespace kv {
namespace {

TDEMInfo SampleInfo()
{
    TDEMInfo info;
    info.MapName = "JACKSBORO TN  sample";
    info.LevelCode = 1;
    info.PatternCode = 1;
    info.GroundRef = 1;
    info.Zone = 17;
    for (size_t i = 0; i < info.ProjParams.size(); ++i)
        info.ProjParams[i] = i % 3 == 0 ? 0.0 : -1.25 * static_cast<double>(i);
    info.GroundUnits = ucMeters;
    info.ElevUnits = ucFeet;
    info.PolySides = 4;
    info.Corners = {{{296149.78125, 4388623.5}, {296517.28125, 4402498.5}, {307227.9375, 4402221.5},
                     {306879.8125, 4388347.0}}};
    info.MinElevation = -12.5;
    info.MaxElevation = 1076.0;
    info.Angle = 0.0;
    info.Accuracy = 0;
    info.Resolution = {30.0, 30.0, 1.0};
    info.ProfileRows = 1;
    info.ProfileCols = 403;
    return info;
}

std::string WriteA(const TDEMInfo& info)
{
    TDEMBlockWriter writer;
    WriteRecordA(writer, info);
    return writer.TakeOutput();
}

TDEMInfo ReadA(const std::string& text, bool fold = true)
{
    TDEMBlockReader reader(std::span<const char>(text.data(), text.size()));
    TDEMInfo info;
    ReadRecordA(reader, info, fold, true);
    return info;
}

TEST(RecordA, WritesOneBlockThatReadsBackEveryField)
{
    const TDEMInfo info = SampleInfo();
    const std::string text = WriteA(info);
    ASSERT_EQ(text.size(), 1024u);
    // Map name right-aligned in its 144 characters, then I6 fields.
    EXPECT_EQ(text.substr(0, 144), std::string(144 - info.MapName.size(), ' ') + info.MapName);
    EXPECT_EQ(text.substr(144, 24), "     1     1     1    17");
    EXPECT_EQ(text.find_first_not_of(' ', 864), std::string::npos) << "record A takes 864 bytes";

    const TDEMInfo back = ReadA(text, false);
    EXPECT_EQ(back.MapName, std::string(144 - info.MapName.size(), ' ') + info.MapName);
    EXPECT_EQ(back.LevelCode, 1);
    EXPECT_EQ(back.PatternCode, 1);
    EXPECT_EQ(back.GroundRef, 1);
    EXPECT_EQ(back.Zone, 17);
    EXPECT_EQ(back.ProjParams, info.ProjParams);
    EXPECT_EQ(back.GroundUnits, ucMeters);
    EXPECT_EQ(back.ElevUnits, ucFeet);
    EXPECT_EQ(back.PolySides, 4);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(back.Corners[c].East, info.Corners[c].East) << c;
        EXPECT_EQ(back.Corners[c].North, info.Corners[c].North) << c;
    }
    EXPECT_EQ(back.MinElevation, -12.5);
    EXPECT_EQ(back.MaxElevation, 1076.0);
    EXPECT_EQ(back.Resolution, info.Resolution);
    EXPECT_EQ(back.ProfileRows, 1);
    EXPECT_EQ(back.ProfileCols, 403);

    EXPECT_EQ(ReadA(text, true).MapName, " JACKSBORO TN sample");
}

// Record A laid out by hand: blank-padded Fortran fields and unit codes above 255.
TEST(RecordA, ReadsFortranExponentsAndKeepsTheLowByteOfUnitCodes)
{
    TDEMBlockWriter writer;
    writer.Put(FormatA("MAP", 144));
    for (int i = 0; i < 4; ++i)
        writer.PutInt(0);
    writer.Put("     1.2345D+03         "); // ProjParams[0]
    writer.Put(" -2 .5D-1               "); // ProjParams[1]: blanks anywhere are ignored
    for (int i = 2; i < 15; ++i)
        writer.Put(std::string(24, ' '));    // empty reals read as 0
    writer.PutInt(258);                      // GroundUnits: 258 & 0xFF = 2
    writer.PutInt(-255);                     // ElevUnits: low byte of -255 is 1
    writer.PutInt(4);
    for (int i = 0; i < 8; ++i)
        writer.PutD24(i + 1);
    for (int i = 0; i < 3; ++i)
        writer.PutD24(0);
    writer.PutInt(0);
    writer.Put("3.000000D+00"); // E12 fields take a D exponent too
    writer.Put("    1.5E+01 ");
    writer.Put("1.0         ");
    writer.PutInt(1);
    writer.PutInt(2);
    writer.Flush();
    const TDEMInfo info = ReadA(writer.Output());
    EXPECT_EQ(info.ProjParams[0], 1234.5);
    EXPECT_EQ(info.ProjParams[1], -0.25);
    EXPECT_EQ(info.ProjParams[2], 0.0);
    EXPECT_EQ(info.GroundUnits, 2);
    EXPECT_EQ(info.ElevUnits, 1);
    EXPECT_EQ(info.Corners[cnSE].North, 8.0);
    EXPECT_EQ(info.Resolution[0], 3.0);
    EXPECT_EQ(info.Resolution[1], 15.0);
    EXPECT_EQ(info.ProfileCols, 2);
}

TEST(RecordA, MalformedOrMissingFieldsFailWithTheirMessage)
{
    std::string text = WriteA(SampleInfo());
    std::string badInt = text;
    badInt.replace(144, 6, "  1x  ");
    EXPECT_THAT([&] { ReadA(badInt); },
                testing::ThrowsMessage<EKorvelaError>(testing::StrEq("'1x' is not a valid integer value")));
    std::string badReal = text;
    badReal.replace(168, 24, "   1.0D+0Q              ");
    EXPECT_THAT([&] { ReadA(badReal); },
                testing::ThrowsMessage<EKorvelaError>(testing::StrEq("'1.0E+0Q' is not a valid floating point value")));
    EXPECT_THAT([&] { ReadA(text.substr(0, 860)); },
                testing::ThrowsMessage<EKorvelaError>(testing::StrEq("Stream read error")));
    EXPECT_NO_THROW(ReadA(text.substr(0, 864)));
}

TEST(ReplaceZeroCorners, ReplacesOnlyAnAllZeroSet)
{
    TDEMInfo utm;
    utm.GroundRef = 1;
    ASSERT_TRUE(ReplaceZeroCorners(utm));
    EXPECT_EQ(utm.Corners[cnSW].East, 296149.78125);
    EXPECT_EQ(utm.Corners[cnSW].North, 4388623.5);
    EXPECT_EQ(utm.Corners[cnNW].East, 296517.28125);
    EXPECT_EQ(utm.Corners[cnNW].North, 4402498.5);
    EXPECT_EQ(utm.Corners[cnNE].East, 307227.9375);
    EXPECT_EQ(utm.Corners[cnNE].North, 4402221.5);
    EXPECT_EQ(utm.Corners[cnSE].East, 306879.8125);
    EXPECT_EQ(utm.Corners[cnSE].North, 4388347.0);

    for (int32_t groundRef : {0, 2}) {
        TDEMInfo geo;
        geo.GroundRef = groundRef;
        ASSERT_TRUE(ReplaceZeroCorners(geo));
        EXPECT_EQ(geo.Corners[cnSW].East, -388800.0);
        EXPECT_EQ(geo.Corners[cnSW].North, 140400.0);
        EXPECT_EQ(geo.Corners[cnNW].North, 144000.0);
        EXPECT_EQ(geo.Corners[cnNE].East, -385200.0);
        EXPECT_EQ(geo.Corners[cnNE].North, 144000.0);
        EXPECT_EQ(geo.Corners[cnSE].East, -385200.0);
        EXPECT_EQ(geo.Corners[cnSE].North, 140400.0);
    }

    TDEMInfo oneSet;
    oneSet.Corners[cnSE].North = -0.5;
    EXPECT_FALSE(ReplaceZeroCorners(oneSet));
    EXPECT_EQ(oneSet.Corners[cnSW].East, 0.0);
    EXPECT_EQ(oneSet.Corners[cnSE].North, -0.5);
}

TEST(ProfileHeader, RoundTripsInsideABlockAndMeasuresItsLength)
{
    TProfileHeader header;
    header.Row = 1;
    header.Col = 7;
    header.M = 344;
    header.N = 1;
    header.X0 = -303888.0;
    header.Y0 = 131208.0;
    header.Datum = 0.0;
    header.Min = 236.0;
    header.Max = 1076.0;
    TDEMBlockWriter writer;
    WriteProfileHeader(writer, header);
    writer.Flush();
    const std::string& text = writer.Output();
    ASSERT_EQ(text.size(), 1024u);
    EXPECT_EQ(text.substr(0, 24), "     1     7   344     1");

    TDEMBlockReader reader(std::span<const char>(text.data(), text.size()));
    reader.ReadBlock();
    const TProfileHeader back = ReadProfileHeader(reader, true);
    EXPECT_EQ(back.Row, 1);
    EXPECT_EQ(back.Col, 7);
    EXPECT_EQ(back.Length(), 344);
    EXPECT_EQ(back.X0, -303888.0);
    EXPECT_EQ(back.Y0, 131208.0);
    EXPECT_EQ(back.Min, 236.0);
    EXPECT_EQ(back.Max, 1076.0);

    TProfileHeader huge;
    huge.M = 2147483647;
    huge.N = 2147483647;
    EXPECT_EQ(huge.Length(), int64_t{2147483647} * 2147483647);
    huge.N = -1;
    EXPECT_LT(huge.Length(), 0);
}

} // namespace
} // namespace kv
