// A test fixture with a unique temporary folder under ZEF_TEST_TMP (or the system's
// temporary folder), removed after each test, and helpers to put and get file bytes.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace zef::test {

class TempDirTest : public ::testing::Test {
protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    const char* Env = std::getenv("ZEF_TEST_TMP");
    const fs::path Base = Env != nullptr && *Env != 0 ? fs::path(Env) : fs::temp_directory_path();
    fs::create_directories(Base);
    std::string Pattern = (Base / "zef_test_XXXXXX").string();
    ASSERT_NE(mkdtemp(Pattern.data()), nullptr);
    Dir = Pattern;
  }
  void TearDown() override {
    std::error_code Ec;
    std::filesystem::remove_all(Dir, Ec);
  }

  std::string Path(const std::string& Name) const { return (Dir / Name).string(); }
  void Put(const std::string& Name, const std::string& Bytes) const {
    std::ofstream(Dir / Name, std::ios::binary) << Bytes;
  }
  std::string Get(const std::string& Name) const {
    std::ifstream In(Dir / Name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
  }

  std::filesystem::path Dir;
};

} // namespace zef::test
