#include "model/PasswordModel.h"

#include "support/TableHelpers.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

// Starting up and the editor's Cancel treat a missing and a damaged file
// differently: only the start falls back on the defaults for a damaged one.
TEST(PasswordModel, LoadsAndReloadsTheTable) {
    ConversionTable one;
    one.letters.insert_or_assign(std::string("ア"), "z");
    const struct {
        const char* name;
        bool reload;
        std::string fileBytes; // empty: no file
        LoadResult::Source source;
        ConversionTable expected;
    } rows[] = {
        {"missing at start", false, "", LoadResult::Source::Defaults, Defaults()},
        {"missing on cancel", true, "", LoadResult::Source::Defaults, Defaults()},
        {"damaged at start", false, "x", LoadResult::Source::Failed, Defaults()},
        {"damaged on cancel", true, "x", LoadResult::Source::Failed, ConversionTable{}},
        {"read on cancel", true, SerializeConversionTable(one), LoadResult::Source::File, one},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const TempFolder folder;
        if (!row.fileBytes.empty()) {
            WriteWhole(folder / kTableFileName, row.fileBytes);
        }
        PasswordModel model(folder / kTableFileName);
        model.Table().letters.insert_or_assign("stale", "s");
        const LoadResult loaded = row.reload ? model.ReloadTable() : model.LoadTable();
        EXPECT_EQ(loaded.source, row.source);
        EXPECT_TRUE(SameEntries(model.Table(), row.expected));
    }
}

// Seeded only in random case mode, and a new password starts the typing trial's best time afresh.
TEST(PasswordModel, ConvertsSeedsAndForgetsTheBestTime) {
    for (const bool randomCase : {false, true}) {
        SCOPED_TRACE(randomCase);
        PasswordModel model;
        FillDefaultTable(model.Table());
        model.SetPhrase(std::string("サクラサク"));
        model.Options().randomCase = randomCase;
        CrtRandom random;
        const std::string first = model.Convert(random, 7);
        ASSERT_TRUE(model.CheckTyped(first));
        ASSERT_FALSE(model.Typing().Result().IsEmpty());

        CrtRandom expectedRandom;
        if (randomCase) {
            expectedRandom.srand(7);
        }
        std::vector<ConversionStep> steps;
        EXPECT_EQ(model.Convert(random, 7),
                  ConvertKatakana(model.Phrase(), model.Table(), model.Options(), expectedRandom, &steps));
        EXPECT_EQ(random.State(), expectedRandom.State());
        EXPECT_EQ(model.Steps().size(), steps.size());
        EXPECT_EQ(model.Typing().BestTime(), 0u);
        EXPECT_TRUE(model.Typing().Result().IsEmpty());
    }
}

} // namespace
