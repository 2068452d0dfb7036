#include "core/folder_list.h"

#include <gtest/gtest.h>

#include <random>

namespace qm {
namespace {

DirEntry entry(const std::string& name, int64_t size, DateTime time = {2004, 3, 15, 21, 5, 7}) {
    DirEntry e;
    e.name = name;
    e.size = size;
    e.time = time;
    return e;
}

FolderRow row(const std::string& name, int64_t size = 0, DateTime time = {2004, 3, 15, 21, 5, 7}) {
    return makeFolderRow(entry(name, size, time), "/ut/Maps/", foldedKey("/ut/Maps/"), foldedKey);
}

TEST(FolderList, MasksByPageAndGame) {
    struct Case {
        const char* caption;
        const char* ut;
        const char* ut200x;
    } cases[] = {
        {"Maps", "*.unr", "*.ut2"},     {"Textures", "*.utx", "*.utx"}, {"Sounds", "*.uax", "*.uax"},
        {"Music", "*.umx", "*.ogg"},    {"StaticMeshes", "", "*.usx"},  {"Animations", "", "*.ukx"},
        {"maps", "", ""},               {"Cache", "", ""},              {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(contentMask(gkUT, c.caption), c.ut) << c.caption;
        EXPECT_EQ(contentMask(gkUT2003, c.caption), c.ut200x) << c.caption;
        EXPECT_EQ(contentMask(gkUT2004, c.caption), c.ut200x) << c.caption;
        EXPECT_EQ(contentMask(gkUnreal, c.caption), "") << c.caption;
        EXPECT_EQ(contentMask(9, c.caption), "") << c.caption;
    }
}

TEST(FolderList, SizeTexts) {
    struct Case {
        int64_t bytes;
        const char* text;
    } cases[] = {
        {0, "0.0 KB"},          {1588, "1.6 KB"},       {51, "0.0 KB"},         {52, "0.1 KB"},
        {256, "0.3 KB"},        {1023, "1.0 KB"},       {2048, "2.0 KB"},       {10240, "10.0 KB"},
        {1024000, "1000.0 KB"},  // no thousands separator
        {3221225472, "3145728.0 KB"},  // beyond 32 bits
        {-5, "0.0 KB"},
    };
    for (const auto& c : cases) EXPECT_EQ(sizeText(c.bytes), c.text) << c.bytes;
}

TEST(FolderList, RowTexts) {
    const FolderRow r = row("DM-Rankin.ut2", 1588, {2004, 3, 15, 21, 5, 7});
    EXPECT_EQ(r.text[kColFileName], "DM-Rankin.ut2");
    EXPECT_EQ(r.text[kColModified], "03/15/2004 09:05:06 pm");  // two-second resolution
    EXPECT_EQ(r.text[kColSize], "1.6 KB");
    EXPECT_EQ(r.text[kColPath], "/ut/Maps/");
    EXPECT_EQ(row("a", 0, {2004, 1, 2, 0, 30, 0}).text[kColModified], "01/02/2004 12:30:00 am");
    EXPECT_EQ(row("a", 0, {2004, 1, 2, 12, 0, 59}).text[kColModified], "01/02/2004 12:00:58 pm");

    // A folder that matches the mask shows no size.
    DirEntry folder = entry("Odd.ut2", 4096);
    folder.attributes = kAttrFolder;
    EXPECT_EQ(makeFolderRow(folder, "/ut/Maps/", "", foldedKey).text[kColSize], "0.0 KB");
}

TEST(FolderList, ComparesTheShownValues) {
    struct Case {
        const char* what;
        FolderRow a, b;
        int column;
        int ascending;  // sign of the result
    } cases[] = {
        {"name without case", row("dm-a.ut2"), row("DM-B.ut2"), kColFileName, -1},
        {"names equal but case", row("DM-A.ut2"), row("dm-a.ut2"), kColFileName, 0},
        {"same shown second", row("a", 0, {2004, 3, 15, 10, 0, 0}), row("b", 0, {2004, 3, 15, 10, 0, 1}), kColModified, 0},
        {"earlier first", row("a", 0, {2003, 12, 31, 23, 59, 58}), row("b", 0, {2004, 1, 1, 0, 0, 0}), kColModified, -1},
        {"pm after am", row("a", 0, {2004, 1, 1, 13, 0, 0}), row("b", 0, {2004, 1, 1, 11, 0, 0}), kColModified, 1},
        {"numeric size", row("a", 2048), row("b", 10240), kColSize, -1},
        {"same shown size", row("a", 1588), row("b", 1600), kColSize, 0},
        {"one tenth apart", row("a", 1600), row("b", 1700), kColSize, -1},
        {"same folder", row("a"), row("b"), kColPath, 0},
    };
    for (const auto& c : cases) {
        const auto sign = [](int v) { return (v > 0) - (v < 0); };
        EXPECT_EQ(sign(ListViewMapsCompare(c.a, c.b, c.column, false)), c.ascending) << c.what;
        EXPECT_EQ(sign(ListViewMapsCompare(c.b, c.a, c.column, false)), -c.ascending) << c.what;
        EXPECT_EQ(sign(ListViewMapsCompare(c.a, c.b, c.column, true)), -c.ascending) << c.what;
    }
    FolderRow other = makeFolderRow(entry("a", 0), "/ut/Other/", foldedKey("/ut/Other/"), foldedKey);
    EXPECT_LT(ListViewMapsCompare(row("z"), other, kColPath, false), 0);
}

TEST(FolderList, RenamingChangesOnlyTheName) {
    FolderRow r = row("DM-Old.ut2", 1588);
    const FolderRow before = r;
    renameFolderRow(r, "AAA.ut2", foldedKey);
    EXPECT_EQ(r.text[kColFileName], "AAA.ut2");
    EXPECT_EQ(r.nameKey, foldedKey("AAA.ut2"));
    for (int c : {kColModified, kColSize, kColPath}) EXPECT_EQ(r.text[c], before.text[c]);
    EXPECT_EQ(r.sizeKey, before.sizeKey);
    EXPECT_EQ(r.modifiedKey, before.modifiedKey);
    EXPECT_LT(ListViewMapsCompare(r, row("B.ut2"), kColFileName, false), 0);
}

// Every column, both directions, over rows with many equal values: the
// order agrees with the comparison, and equal rows keep their order.
TEST(FolderList, SortIsOrderedAndStable) {
    std::mt19937 random(7);
    std::vector<FolderRow> rows;
    for (int i = 0; i < 400; ++i) {
        const char* names[] = {"dm-a.ut2", "DM-B.ut2", "ctf-x.ut2", "DM-A.ut2", "b.ut2"};
        const int second = static_cast<int>(random() % 4);  // 0 and 1 show as one time
        rows.push_back(makeFolderRow(entry(names[random() % 5], static_cast<int64_t>(random() % 5) * 1000,
                                           {2004, 3, 15, 10, 0, second}),
                                     i % 2 ? "/ut/Maps/" : "/ut/maps2/", i % 2 ? "/ut/maps/" : "/ut/maps2/",
                                     foldedKey));
        rows.back().text[kColFileName] += "#" + std::to_string(i);  // the original place, for the check
    }
    auto placeOf = [](const FolderRow& r) { return std::stoi(r.text[kColFileName].substr(r.text[kColFileName].find('#') + 1)); };
    for (int column = 0; column < kFolderColumns; ++column) {
        for (bool descending : {false, true}) {
            const std::vector<size_t> order = sortedOrder(rows, column, descending);
            ASSERT_EQ(order.size(), rows.size());
            for (size_t i = 1; i < order.size(); ++i) {
                const FolderRow& a = rows[order[i - 1]];
                const FolderRow& b = rows[order[i]];
                const int c = ListViewMapsCompare(a, b, column, descending);
                ASSERT_LE(c, 0) << column << descending << i;
                if (c == 0) {
                    ASSERT_LT(placeOf(a), placeOf(b)) << column << descending << i;
                }
            }
        }
    }
}

}  // namespace
}  // namespace qm
