#include "sdtslib.h"

#include "platform/KVError.h"
#include "support/SDTSWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace kv {
namespace {

using test::BigEndian;
using test::BuildModule;
using test::TextUnits;
using test::TSDTSModule;

constexpr char FT = 0x1E;
constexpr char UT = 0x1F;

// A module with one text field ABCD (labels A!B!C), one binary field BINS (two 4-byte values) and
// one list field LSTS, in `records` data records.
TSDTSModule SampleModule(int records = 1)
{
    TSDTSModule module;
    module.Fields.push_back({"ABCD", "Letters", "A!B!C", "(3A)"});
    module.Fields.push_back({"BINS", "Binary", "P!Q", "(2B(32))"});
    module.Fields.push_back({"LSTS", "List", "*X!Y", "(2R)"});
    for (int r = 0; r < records; ++r)
        module.Records.push_back({{"ABCD", TextUnits({"1", "    16", std::to_string(3 + r)})},
                                  {"BINS", BigEndian(300, 4) + BigEndian(-1, 4) + FT},
                                  {"LSTS", TextUnits({"10.5", "20", "30", "40"})}});
    return module;
}

struct TModuleFixture {
    explicit TModuleFixture(std::string bytes, int maxRecords = 20) : Bytes(std::move(bytes)), Stream(Bytes)
    {
        ReadModule(Stream, Description, maxRecords);
    }
    std::string Bytes;
    TByteStream Stream;
    TDataDescription Description;
};

TEST(sdtslib, DirectoryCountComesFromFieldAreaBaseAndEntrySizes)
{
    // Sizes 3, 4 and 4 make 11-character entries; (58 - 25) div 11 = 3.
    std::string ddr = "001002L 1 0600058   3404";
    ddr += "AAAA0070000BBBB0070007CCCC0070014";
    ddr += FT;
    for (const char* tag : {"AAAA", "BBBB", "CCCC"})
        ddr += std::string("1600;&") + tag + UT + UT + FT;
    TModuleFixture module(ddr);
    ASSERT_EQ(module.Description.Directory.Count(), 3);
    EXPECT_EQ(module.Description.Directory.Items[2].Tag, "CCCC");
    EXPECT_EQ(module.Description.Directory.Items[1].FieldLength, 7);
    EXPECT_EQ(module.Description.Directory.Items[1].FieldPos, 7);
    EXPECT_EQ(module.Description.Directory.FieldAreaStart, 58);
    ASSERT_EQ(module.Description.Area.Count(), 3);
    EXPECT_EQ(module.Description.Area.Items[1].FieldName, "BBBB");
    EXPECT_EQ(module.Description.Records.Count(), 0);
}

TEST(sdtslib, ReadsLeadersDescriptionsAndRecords)
{
    TModuleFixture module(BuildModule(SampleModule(3)));
    const TDataDescription& d = module.Description;
    EXPECT_EQ(d.Leader.LeaderId, "L");
    EXPECT_EQ(d.Leader.FieldControlLength, 6);
    EXPECT_EQ(d.Leader.SizeFieldTag, 4);
    EXPECT_EQ(FindTag("0001", d.Directory), 1);
    EXPECT_EQ(FindTag("abcd", d.Directory), -1); // tags compare case-sensitively
    EXPECT_EQ(d.Area.Items[2].FieldControls, "1600;&");
    EXPECT_EQ(d.Area.Items[2].ArrayDescriptor, "A!B!C");
    EXPECT_EQ(GetFormatControls("BINS", d), "(2B(32))");
    EXPECT_EQ(GetFormatControls("XYZW", d), "");
    ASSERT_EQ(d.Records.Count(), 3);
    EXPECT_EQ(d.Records.Leaders[1].LeaderId, "D");
    EXPECT_EQ(d.Records.Leaders[1].RecordLength,
              d.Records.Directories[2].FieldAreaStart - d.Records.Directories[1].FieldAreaStart);
}

TEST(sdtslib, RecordCountIsLimitedByTheCallerTheCapAndAnRLeader)
{
    EXPECT_EQ(TModuleFixture(BuildModule(SampleModule(5)), 2).Description.Records.Count(), 2);
    EXPECT_EQ(TModuleFixture(BuildModule(SampleModule(25)), 100).Description.Records.Count(), MaxDataRecords);
    TSDTSModule repeating = SampleModule(4);
    repeating.RepeatFirst = true;
    const TModuleFixture module(BuildModule(repeating), 10);
    EXPECT_EQ(module.Description.Records.Count(), 1);
    EXPECT_EQ(module.Description.Records.Leaders[0].LeaderId, "R");
}

TEST(sdtslib, SubfieldGetters)
{
    TModuleFixture m(BuildModule(SampleModule(2)));
    TByteStream& s = m.Stream;
    const TDataDescription& d = m.Description;
    EXPECT_EQ(GetSubfieldText(s, "ABCD", "A", 0, d), "1");
    EXPECT_EQ(GetSubfieldText(s, "ABCD", "C", 0, d), "3");
    EXPECT_EQ(GetSubfieldText(s, "ABCD", "C", 1, d), "4");
    EXPECT_EQ(GetSubfieldText(s, "ABCD", "D", 0, d), "");
    EXPECT_EQ(GetSubfieldText(s, "XYZW", "A", 0, d), "");
    EXPECT_EQ(GetSubfieldText(s, "ABCD", "A", 2, d), ""); // no such record
    EXPECT_EQ(GetSubfieldInt(s, "ABCD", "C", 1, d), 4);
    EXPECT_EQ(GetSubfieldInt(s, "ABCD", "B", 0, d), 16); // fixed-width subfields come blank-padded
    EXPECT_EQ(GetSubfieldInt(s, "LSTS", "*X", 0, d), 0); // "10.5" is no integer
    EXPECT_EQ(GetSubfieldInt(s, "ABCD", "D", 0, d), 0);
    EXPECT_DOUBLE_EQ(GetSubfieldFloat(s, "LSTS", "*X", 0, d), 10.5);
    EXPECT_EQ(GetSubfieldText(s, "LSTS", "X", 0, d), ""); // the repeating label keeps its "*"

    EXPECT_EQ(GetBinarySubfield(s, "BINS", "P", 4, 0, d), 300);
    EXPECT_EQ(GetBinarySubfield(s, "BINS", "Q", 4, 0, d), -1);
    EXPECT_EQ(GetBinarySubfield(s, "BINS", "P", 2, 0, d), 0);   // the first 2-byte value of 00 00 01 2C
    EXPECT_EQ(GetBinarySubfield(s, "BINS", "Q", 2, 0, d), 300); // and the second
    EXPECT_EQ(GetBinarySubfield(s, "BINS", "R", 4, 0, d), 0);
    EXPECT_THROW(GetBinarySubfield(s, "BINS", "P", 5, 0, d), EKorvelaError);

    TStringArray list;
    GetSubfieldList(s, "LSTS", "*X", list, 0, d);
    EXPECT_EQ(list.Items, (std::vector<std::string>{"10.5", "20", "30", "40"}));
    GetSubfieldList(s, "LSTS", "Y", list, 1, d);
    EXPECT_EQ(list.Items, (std::vector<std::string>{"20", "30", "40"}));
    GetSubfieldList(s, "LSTS", "X", list, 0, d);
    EXPECT_EQ(list.Count(), 0);
}

TEST(sdtslib, LabelListEndsAtTheFirstEmptyPiece)
{
    TSDTSModule module;
    module.Fields.push_back({"TWOS", "", "A!!B", "(2A)"});
    module.Fields.push_back({"ENDS", "", "A!B!", "(2A)"});
    const TModuleFixture m(BuildModule(module));
    EXPECT_EQ(GetFieldLabels("TWOS", m.Description).Count(), 1);
    EXPECT_EQ(GetFieldLabels("ENDS", m.Description).Count(), 2);
}

TEST(sdtslib, ParseFloatTakesTheFirstNumber)
{
    const struct {
        const char* text;
        double expected;
    } cases[] = {
        {"12.5 m", 12.5}, {"abc-7", -7.0}, {"--3", -3.0}, {"1.2.3", 1.2}, {"1e3", 1000.0}, {"1E+3", 1.0},
        {"x", 0.0},       {"", 0.0},       {"-", 0.0},    {".5", 0.5},   {"-.25", -0.25}, {"5.", 5.0},
        {"1e--2", 0.01},  {"2e-", 2.0},    {"a.b7", 7.0}, {"1e999", 0.0}, {"751080.00000000", 751080.0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(ParseFloat(c.text), c.expected) << "text: " << c.text;
}

std::string ValidDDR()
{
    return BuildModule(SampleModule(0));
}

TEST(sdtslib, MalformedModulesFailWithAClearMessage)
{
    const std::string ddr = ValidDDR();
    const std::string record = BuildModule(SampleModule(1)).substr(ddr.size());
    const auto replaced = [](std::string text, size_t pos, const std::string& with) {
        return text.replace(pos, with.size(), with);
    };
    const struct {
        const char* name;
        std::string bytes;
        std::string message;
    } cases[] = {
        {"empty", "", "ISO 8211 module ends inside a record leader: it needs 24 bytes at byte 0, found 0"},
        {"short leader", ddr.substr(0, 17), "it needs 24 bytes at byte 0, found 17"},
        {"letters in a number", replaced(ddr, 0, "00a87"), "'00a87' is not a valid integer value"},
        {"blank entry size", replaced(ddr, 20, " "), "' ' is not a valid integer value"},
        {"zero entry size", replaced(ddr, 20, "0000"), "gives directory entries of 0 characters"},
        {"directory beyond the end", replaced(ddr, 12, "99999"), "module ends inside a record directory"},
        {"negative field length", replaced(ddr, 28, "-1"), "has a negative field length"},
        {"record length 0", ddr + replaced(record, 0, "00000"),
         "ISO 8211 data record at byte " + std::to_string(ddr.size()) + " is 0 bytes long"},
        {"record cut in its leader", ddr + record.substr(0, 10), "module ends inside a record leader"},
    };
    for (const auto& c : cases) {
        TByteStream stream(c.bytes);
        TDataDescription description;
        try {
            ReadModule(stream, description, 20);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const EKorvelaError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.name << ": " << e.what();
        }
    }
}

TEST(sdtslib, EveryTruncatedModuleReadsOrFailsCleanly)
{
    const std::string full = BuildModule(SampleModule(2));
    for (size_t n = 0; n <= full.size(); ++n) {
        const std::string prefix = full.substr(0, n);
        TByteStream stream(prefix);
        TDataDescription d;
        try {
            ReadModule(stream, d, 20);
        } catch (const EKorvelaError&) {
            continue;
        }
        // Fields cut short give what is there; nothing may read outside the data.
        TStringArray list;
        GetSubfieldText(stream, "ABCD", "C", 1, d);
        GetBinarySubfield(stream, "BINS", "Q", 4, 1, d);
        GetSubfieldList(stream, "LSTS", "*X", list, 1, d);
        EXPECT_LE(list.Count(), 4);
    }
}

} // namespace
} // namespace kv
