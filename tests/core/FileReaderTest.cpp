// Large arrays go through the reader a piece at a time: the pieces must join up exactly, after
// what the array held, with records that do not divide a piece, and count against the budget
// as one read of the whole block would.
#include "support/MD3Builder.h"

#include "core/FileReader.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace quillon;
using namespace quillon::test;

namespace {

struct Record12 {
    int32_t a, b, c;
};

// `count` records whose fields number them, after a 3-byte lead so that the records are not
// aligned in the file.
std::vector<char> NumberedRecords(size_t count) {
    std::vector<char> bytes(3 + count * sizeof(Record12));
    for (size_t i = 0; i < count; ++i) {
        const Record12 r{int32_t(i), -int32_t(i), int32_t(i * 7)};
        std::memcpy(bytes.data() + 3 + i * sizeof r, &r, sizeof r);
    }
    return bytes;
}

TEST(FileReader, LargeArraysJoinTheirPiecesExactly) {
    TempDir dir;
    const size_t count = 300000; // 3.6 MB, in pieces of 5461 records and a remainder
    WriteBytes(dir.File("records"), NumberedRecords(count));
    TFileReader in(dir.File("records"));
    std::vector<Record12> records = {{9, 9, 9}};
    in.Seek(3);
    ASSERT_TRUE(in.AppendArray(records, count));
    ASSERT_EQ(records.size(), count + 1);
    EXPECT_EQ(records[0].a, 9);
    for (size_t i = 0; i < count; ++i)
        ASSERT_TRUE(records[i + 1].a == int32_t(i) && records[i + 1].b == -int32_t(i) &&
                    records[i + 1].c == int32_t(i * 7))
            << i;
    EXPECT_EQ(in.Position(), 3 + count * sizeof(Record12));
}

TEST(FileReader, LargeArraysAreRefusedWholeAndCountAgainstTheBudget) {
    TempDir dir;
    const size_t count = 200000;
    WriteBytes(dir.File("records"), NumberedRecords(count));
    TFileReader in(dir.File("records"));
    std::vector<Record12> records;
    // One record too many: refused before anything is read or sized.
    in.Seek(3);
    EXPECT_FALSE(in.ReadArray(records, count + 1));
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(in.Position(), 3u);
    EXPECT_NE(in.Refusal("records").find("truncated"), std::string::npos);
    // The whole file may be read four times over, and not a fifth.
    for (uint64_t round = 0; round < TFileReader::BudgetFactor; ++round) {
        in.Seek(3);
        ASSERT_TRUE(in.ReadArray(records, count)) << round;
        ASSERT_EQ(records.size(), count);
        EXPECT_EQ(records.back().c, int32_t((count - 1) * 7));
    }
    in.Seek(3);
    EXPECT_FALSE(in.ReadArray(records, count));
    EXPECT_NE(in.Refusal("records").find("blocks overlap too often"), std::string::npos);
}

} // namespace
