// A fixture that gives each test a fresh folder of its own, removed afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <string_view>

class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("qrl-") + info->test_suite_name() + "-" + info->name();
        for (char& c : name)
            if (c == '/')
                c = '-';
        dir_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Path(std::string_view name) const { return (dir_ / name).string(); }

    // Writes the bytes to a file of the folder and returns its path.
    std::string WriteFile(std::string_view name, std::string_view content) const {
        std::string path = Path(name);
        std::ofstream(path, std::ios::binary)
            .write(content.data(), static_cast<std::streamsize>(content.size()));
        return path;
    }

    std::filesystem::path dir_;
};
