#pragma once

#include "temp_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kivo::test {

// A settings folder holding an earlier file, for writes that fail and must leave it alone.
class EarlierFileTest : public testing::Test {
  protected:
    TempDir dir;
    std::filesystem::path folder = dir.path() / "date";
    std::filesystem::path file = folder / "soxran.txt";
    std::string old = "Параметры окон и опций Kivo\r\nVid=1\r\n";

    void SetUp() override {
        std::filesystem::create_directory(folder);
        writeFile(file, old);
    }
    void expectOldFileAloneIntact() {
        EXPECT_EQ(readFile(file), old);
        EXPECT_EQ(namesIn(folder), std::vector<std::string>{"soxran.txt"});
    }
};

} // namespace kivo::test
