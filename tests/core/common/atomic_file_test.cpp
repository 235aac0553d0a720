#include "core/common/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/files.h"

namespace orvane {
namespace {

TEST(AtomicFile, WritesWholeContentAndLeavesNoTemporaryFile) {
  TempDir dir;
  const std::string path = dir.File("out.txt");
  ASSERT_TRUE(WriteFileAtomically(path, "first"));
  ASSERT_TRUE(WriteFileAtomically(path, "second version"));
  EXPECT_EQ(ReadAll(path), "second version");
  EXPECT_EQ(FileCount(dir.path()), 1);
}

TEST(AtomicFile, AbandonedWriteKeepsThePreviousFile) {
  TempDir dir;
  const std::string path = dir.File("keep.txt");
  ASSERT_TRUE(WriteFileAtomically(path, "old"));
  {
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(path));
    ASSERT_TRUE(writer.Write("new content that never lands"));
  }  // destroyed without Commit
  EXPECT_EQ(ReadAll(path), "old");
  EXPECT_EQ(FileCount(dir.path()), 1);
}

TEST(AtomicFile, FailureNamesTheFileAndTheReason) {
  TempDir dir;
  const std::string path = dir.File("missing-dir/out.txt");
  const Status status = WriteFileAtomically(path, "x");
  ASSERT_FALSE(status);
  EXPECT_EQ(status.code(), kCannotOpen);
  EXPECT_NE(status.message().find(path), std::string::npos) << status.message();
  EXPECT_NE(status.message().find("No such file or directory"), std::string::npos) << status.message();
}

TEST(AtomicFile, ADirectoryInTheTargetsPlaceIsRefusedAndCleansUp) {
  TempDir dir;
  const std::string path = dir.File("adir");
  std::filesystem::create_directory(path);
  const Status status = WriteFileAtomically(path, "x");
  ASSERT_FALSE(status);
  EXPECT_EQ(status.code(), kCannotOpen);
  EXPECT_NE(status.message().find("Is a directory"), std::string::npos) << status.message();
  EXPECT_EQ(FileCount(dir.path()), 1);  // only the directory
}

}  // namespace
}  // namespace orvane
