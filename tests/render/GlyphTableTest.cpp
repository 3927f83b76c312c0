#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "assets/Assets.h"

namespace {

struct Record {
    int code;
    int x;
    int y;
    int w;
    int h;
};

Record recordAt(int index) {
    const std::uint8_t* bytes = glyphTable.records + index * 5;
    return {bytes[0], bytes[1], bytes[2], bytes[3], bytes[4]};
}

TEST(GlyphTable, IsTheCountThenEightyNineRecordsThenTheEndByte) {
    static_assert(offsetof(GlyphTableBlob, records) == 4);
    EXPECT_EQ(glyphTable.count, 89);
    EXPECT_EQ(glyphTable.records[89 * 5], 0);

    std::set<int> codes;
    for (int i = 0; i < glyphRecordCount; ++i) {
        const Record record = recordAt(i);
        EXPECT_NE(record.code, 0) << "record " << i << " would end the table early";
        EXPECT_TRUE(codes.insert(record.code).second) << "code " << record.code << " repeats";
    }
}

TEST(GlyphTable, KeepsTheStoredOrderOfTheRows) {
    const Record first = recordAt(0);
    EXPECT_EQ(first.code, 'a');
    EXPECT_EQ(first.x, 0);
    EXPECT_EQ(first.y, 5);
    EXPECT_EQ(first.w, 15);
    EXPECT_EQ(first.h, 30);
    const Record last = recordAt(88);
    EXPECT_EQ(last.code, '_');
    EXPECT_EQ(last.x, 151);
    EXPECT_EQ(last.y, 185);

    const std::set<int> rowTops = {5, 40, 80, 115, 145, 185};
    int previousY = 0;
    for (int i = 0; i < glyphRecordCount; ++i) {
        const Record record = recordAt(i);
        EXPECT_EQ(rowTops.count(record.y), 1u) << "record " << i;
        EXPECT_GE(record.y, previousY) << "record " << i << " goes back a row";
        previousY = record.y;
    }
}

TEST(GlyphTable, RectanglesStayInsideTheFontImage) {
    for (int i = 0; i < glyphRecordCount; ++i) {
        const Record record = recordAt(i);
        EXPECT_LE(record.x + record.w, 256) << "record " << i;
        EXPECT_LE(record.y + record.h, 220) << "record " << i;
        EXPECT_GT(record.w, 0) << "record " << i;
        EXPECT_GT(record.h, 0) << "record " << i;
    }
}

TEST(GlyphTable, CoversPrintableAsciiExceptTheListedCharactersAndAddsTheLatinOnes) {
    std::string missing;
    std::set<int> codes;
    for (int i = 0; i < glyphRecordCount; ++i) codes.insert(recordAt(i).code);
    for (int code = 32; code < 127; ++code) {
        if (codes.count(code) == 0) missing += static_cast<char>(code);
    }
    EXPECT_EQ(missing, "$+-<>@[]^`{|}");
    for (int latin : {230, 248, 229, 198, 216, 197, 164}) {
        EXPECT_EQ(codes.count(latin), 1u) << latin;
    }
    EXPECT_EQ(codes.size(), 89u);
}

}  // namespace
