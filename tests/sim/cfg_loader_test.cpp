#include "sim/cfg_loader.h"
#include "sim/converter_model.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace pravenor::sim {
namespace {

TEST(CfgLoader, SetsEveryKindOfItemFromItsLine)
{
    ConverterModel model;
    const CfgLoadResult result = applyCfgText("0    ->2\r\n"
                                              "5    ->9\n"
                                              "44    ->250\r\n"
                                              "60    ->12\r\n"
                                              "100    ->Main entrance\r\n"
                                              "101    ->a->b, \"c\"\r\n"
                                              "102    -> Hall  \r\n"
                                              "147    ->\r\n",
                                              model);
    EXPECT_TRUE(result.opened);
    EXPECT_EQ(result.valuesSet, 8);
    EXPECT_TRUE(result.ignoredLines.empty());
    EXPECT_EQ(model.number(0), 2);
    EXPECT_EQ(model.number(5), 9);
    EXPECT_EQ(model.number(44), 250);
    EXPECT_EQ(model.number(60), 12);
    EXPECT_EQ(model.text(100), "Main entrance");
    EXPECT_EQ(model.text(101), "a->b, \"c\""); // only the first arrow separates
    EXPECT_EQ(model.text(102), " Hall  ");
    EXPECT_EQ(model.text(147), "");
}

TEST(CfgLoader, LaterLineForTheSameItemWins)
{
    ConverterModel model;
    applyCfgText("9    ->1\n9    ->3\n", model);
    EXPECT_EQ(model.number(9), 3);
}

TEST(CfgLoader, IgnoresLinesThatSetNothing)
{
    ConverterModel model;
    model.setNumber(5, 4);
    const CfgLoadResult result = applyCfgText("1    ->0\r\n"    // hidden item, not exchanged
                                              "60    ->16\r\n"  // no code 16
                                              "44    ->256\r\n" // more than a byte
                                              "5    ->-1\r\n"   // no choice made
                                              "5    ->2.5\r\n"  // not whole
                                              "5    ->x\r\n"
                                              "  5    ->3\r\n" // the number must start the line
                                              "92    ->1\r\n"  // reserved
                                              "5    3\r\n"     // no arrow
                                              "\r\n"           // blank lines are not counted
                                              "abc\r\n",
                                              model);
    EXPECT_EQ(result.valuesSet, 0);
    EXPECT_EQ(result.ignoredLines, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 11}));
    EXPECT_EQ(model.number(5), 4);
    EXPECT_EQ(model.number(60), 0);
}

TEST(CfgLoader, ReadsAFileAndReportsAMissingOne)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("sim_cfg_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / "unit.cfg";
    std::ofstream(file, std::ios::binary) << "13    ->2\r\n132    ->1234\r\n";

    ConverterModel model;
    const CfgLoadResult loaded = loadCfgFile(file, model);
    EXPECT_TRUE(loaded.opened);
    EXPECT_EQ(loaded.valuesSet, 2);
    EXPECT_EQ(model.number(13), 2);
    EXPECT_EQ(model.text(132), "1234");

    EXPECT_FALSE(loadCfgFile(folder / "missing.cfg", model).opened);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace pravenor::sim
