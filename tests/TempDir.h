// A fixture whose tests each get a fresh, empty directory, removed with its contents afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace sheetlift::test {

class TempDirTest : public ::testing::Test {
  protected:
    // The directory's name starts with `prefix` (tests of paths give it spaces or Japanese
    // characters) and goes on with the process id and the test's name.
    explicit TempDirTest(std::filesystem::path prefix) : prefix_(std::move(prefix)) {}

    void SetUp() override {
#ifdef _WIN32
        const int pid = ::_getpid();
#else
        const int pid = ::getpid();
#endif
        dir_ = std::filesystem::temp_directory_path() / prefix_;
        dir_ += std::to_string(pid) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        std::filesystem::remove_all(dir_);
    }

    std::filesystem::path dir_;

  private:
    std::filesystem::path prefix_;
};

} // namespace sheetlift::test
