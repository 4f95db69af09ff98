// Tests of the resource service: the chain, one-deep, named and indexed
// look-ups, caching, release and detach, strings, folders on disk, faults.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FaultSweep.h"
#include "WindowFixture.h"
#include "toolbox/memory.h"
#include "toolbox/resources.h"

using namespace toolbox::host;
namespace fs = std::filesystem;

namespace {

constexpr ResType kData = FOUR_CHAR_CODE("DATA");
constexpr ResType kStrList = FOUR_CHAR_CODE("STR#");
constexpr ResType kPict = FOUR_CHAR_CODE("PICT");

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

std::string Contents(Handle h) { return h ? std::string(*h, size_t(GetHandleSize(h))) : "<null>"; }

using windowtest::FromPascal, windowtest::PString;

/// A look-up's result holds `expected` ("<null>": none, resNotFound); released after.
void ExpectFound(Handle h, const char* expected) {
  EXPECT_EQ(expected, Contents(h));
  EXPECT_EQ(h ? noErr : resNotFound, ResError());
  if (h) ReleaseResource(h);
}

class ResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetResources();
    ClearAllocationFailures();
    handles_ = LiveHandles();
  }
  void TearDown() override {
    ResetResources();
    EXPECT_EQ(handles_, LiveHandles()) << "resource handles leaked or were freed twice";
  }
  /// Two files: `older_` then `newer_` (current). DATA 128 exists in both.
  void MakeChain() {
    older_ = CreateResourceFile("older");
    AddResource(older_, kData, 128, "Shared", Bytes("old 128"));
    AddResource(older_, kData, 129, "OnlyOld", Bytes("old 129"));
    AddResource(older_, kData, 7, "", Bytes("old 7"));
    newer_ = CreateResourceFile("newer");
    AddResource(newer_, kData, 128, "Shared", Bytes("new 128"));
    AddResource(newer_, kData, 300, "OnlyNew", Bytes("new 300"));
  }
  size_t handles_ = 0;
  SInt16 older_ = 0;
  SInt16 newer_ = 0;
};

TEST_F(ResourcesTest, ChainLookupSearchesFromCurrentFileToOlderFilesAndCloseKeepsItConsistent) {
  MakeChain();
  EXPECT_EQ(newer_, CurResFile()) << "the file opened last is current";
  EXPECT_EQ(std::vector<SInt16>({newer_, older_}), OpenResourceFiles());
  struct Row { SInt16 current; SInt16 id; bool oneDeep; const char* expected; } rows[] = {
      {newer_, 128, false, "new 128"}, {newer_, 129, false, "old 129"},
      {newer_, 128, true, "new 128"},  {newer_, 129, true, "<null>"},
      {older_, 128, false, "old 128"}, {older_, 300, false, "<null>"},
      {older_, 129, true, "old 129"},  {newer_, 999, false, "<null>"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE("current " + std::to_string(r.current) + " id " + std::to_string(r.id) +
                 (r.oneDeep ? " one-deep" : " chain"));
    UseResFile(r.current);
    ExpectFound(r.oneDeep ? Get1Resource(kData, r.id) : GetResource(kData, r.id), r.expected);
  }

  UseResFile(777);
  EXPECT_EQ(resFNotFound, ResError());
  EXPECT_EQ(newer_, CurResFile()) << "an unknown file leaves the current one";
  Handle h = GetResource(kData, 300);
  ASSERT_NE(nullptr, h);
  CloseResFile(newer_);
  EXPECT_FALSE(IsLiveHandle(h)) << "closing a file frees its loaded resources";
  EXPECT_EQ(older_, CurResFile()) << "the next older file becomes current";
  CloseResFile(newer_);
  EXPECT_EQ(resFNotFound, ResError());
}

TEST_F(ResourcesTest, FetchedResourceIsCachedReleasedOnceOrDetachedToTheCaller) {
  MakeChain();
  uint64_t loads = ResourceLoads();
  Handle a = GetResource(kData, 128);
  Handle b = GetResource(kData, 128);
  ASSERT_NE(nullptr, a);
  EXPECT_EQ(a, b) << "a second fetch from the same file gives the same handle";
  EXPECT_EQ(loads + 1, ResourceLoads()) << "the resource is loaded once";
  EXPECT_EQ(0x20, HGetState(a) & 0x20) << "resource handles carry the resource bit";
  ReleaseResource(a);
  EXPECT_FALSE(IsLiveHandle(a)) << "ReleaseResource frees the block";
  EXPECT_EQ(0u, LoadedResources());
  ReleaseResource(a);
  EXPECT_EQ(resNotFound, ResError()) << "a released handle is no longer a resource";

  Handle h = GetResource(kData, 7);
  ASSERT_NE(nullptr, h);
  DetachResource(h);
  EXPECT_EQ(0, HGetState(h) & 0x20) << "the resource bit is cleared";
  ReleaseResource(h);
  EXPECT_TRUE(IsLiveHandle(h)) << "ReleaseResource must leave a plain handle alone";
  Handle again = GetResource(kData, 7);
  EXPECT_NE(h, again) << "the file loads a fresh copy after a detach";
  EXPECT_EQ("old 7", Contents(h)) << "the detached copy keeps its bytes";
  ReleaseResource(again);
  DisposeHandle(h);

  DetachResource(nullptr);
  EXPECT_EQ(resNotFound, ResError());
}

TEST_F(ResourcesTest, NamedLookupIgnoresCaseAndIndexedLookupCountsFromCurrentFileInIdOrder) {
  MakeChain();
  struct Row { const char* name; bool oneDeep; const char* expected; } rows[] = {
      {"Shared", false, "new 128"}, {"sHARED", false, "new 128"}, {"onlyold", false, "old 129"},
      {"OnlyOld", true, "<null>"},  {"OnlyNew", true, "new 300"}, {"", false, "<null>"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.name) + (r.oneDeep ? " one-deep" : " chain"));
    PString name(r.name);
    ExpectFound(r.oneDeep ? Get1NamedResource(kData, name) : GetNamedResource(kData, name), r.expected);
  }
  EXPECT_EQ(2, Count1Resources(kData));
  EXPECT_EQ(5, CountResources(kData));
  EXPECT_EQ(0, CountResources(kPict));
  struct { SInt16 index; bool oneDeep; const char* expected; } indexed[] = {
      {2, true, "new 300"},  {3, true, "<null>"},   {2, false, "new 300"},
      {3, false, "old 7"},   {5, false, "old 129"}, {6, false, "<null>"}, {0, false, "<null>"},
  };
  for (const auto& r : indexed) {
    SCOPED_TRACE("index " + std::to_string(r.index) + (r.oneDeep ? " one-deep" : " chain"));
    ExpectFound(r.oneDeep ? Get1IndResource(kData, r.index) : GetIndResource(kData, r.index), r.expected);
  }
  UseResFile(older_);
  EXPECT_EQ(3, CountResources(kData)) << "files newer than the current one are not searched";
}

TEST_F(ResourcesTest, StringAndStringListResourcesReadByIndex) {
  SInt16 file = CreateResourceFile("strings");
  AddResource(file, FOUR_CHAR_CODE("STR "), 128, "", StringResourceData("Hello"));
  AddResource(file, kStrList, 200, "", StringListResourceData({"one", "", "three"}));
  std::vector<uint8_t> truncated = StringListResourceData({"alpha", "beta"});
  truncated.resize(truncated.size() - 2);  // the last string runs past the end
  AddResource(file, kStrList, 201, "", truncated);
  AddResource(file, kStrList, 202, "", {0x00});

  StringHandle s = GetString(128);
  ASSERT_NE(nullptr, s);
  EXPECT_EQ("Hello", FromPascal(*s));
  EXPECT_EQ(nullptr, GetString(129));
  EXPECT_EQ(resNotFound, ResError());

  struct Row { SInt16 list, index; const char* expected; } rows[] = {
      {200, 1, "one"}, {200, 3, "three"}, {200, 4, ""}, {200, 0, ""},
      {201, 1, "alpha"}, {201, 2, ""}, {202, 1, ""}, {999, 1, ""}};
  for (const Row& r : rows) {
    SCOPED_TRACE("list " + std::to_string(r.list) + " index " + std::to_string(r.index));
    Str255 out;
    std::memset(out, 'X', sizeof out);
    GetIndString(out, r.list, r.index);
    EXPECT_EQ(r.expected, FromPascal(out));
  }
}

TEST_F(ResourcesTest, FailedLoadGivesNullAndMemFullWithoutLeak) {
  SInt16 file = CreateResourceFile("faults");
  AddResource(file, kData, 1, "One", Bytes("payload"));
  int fired = testing_support::SweepAllocationFailures([&](testing_support::FaultRun& run) {
    run.Arm();
    Handle h = GetResource(kData, 1);
    OSErr resErr = ResError(), memErr = MemError();
    run.Disarm();
    if (run.Fired()) {
      EXPECT_TRUE(h == nullptr && resErr == memFullErr && memErr == memFullErr) << resErr << " " << memErr;
      EXPECT_EQ(0u, LoadedResources()) << "a failed load leaves nothing behind";
    } else {
      EXPECT_EQ("payload", Contents(h));
      ReleaseResource(h);
    }
  });
  EXPECT_GT(fired, 0) << "loading a resource allocates";
}

// ---------------------------------------------------------------- folders

class ResourceFolderTest : public ResourcesTest {
 protected:
  void SetUp() override {
    ResourcesTest::SetUp();
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override {
    fs::remove_all(root_);
    ResourcesTest::TearDown();
  }
  void Write(const std::string& relative, const std::string& bytes) {
    fs::create_directories((root_ / relative).parent_path());
    std::ofstream(root_ / relative, std::ios::binary) << bytes;
  }
  const fs::path root_ = fs::temp_directory_path() / ("toolbox-res-" + std::to_string(::getpid()));
};

TEST_F(ResourceFolderTest, FolderBecomesAResourceFileOfEveryKind) {
  Write("STR#/-8179.txt", "First line\r\nSecond ^0\n\nFourth\n");
  Write("DATA/-6 Named Thing.bin", "named");
  Write("DATA/notes.md", "skipped: not a resource file");
  Write("%41BC%23/1.bin", "escaped type");
  std::string error = "unset";
  SInt16 ref = OpenResourceFolder(root_.string(), &error);
  ASSERT_GT(ref, 0) << error;
  EXPECT_EQ("", error);
  const char* lines[] = {"First line", "Second ^0", "", "Fourth", ""};
  for (SInt16 i = 1; i <= 5; ++i) {
    Str255 s;
    GetIndString(s, -8179, i);
    EXPECT_EQ(lines[i - 1], FromPascal(s)) << "STR# line " << i;
  }
  EXPECT_EQ("named", Contents(GetNamedResource(kData, PString("named thing"))));
  EXPECT_EQ(1, Count1Resources(kData)) << "only .bin/.png/.txt files are resources";
  EXPECT_EQ("escaped type", Contents(GetResource(FOUR_CHAR_CODE("ABC#"), 1)));
}

TEST_F(ResourceFolderTest, BadFoldersAreRefusedWholeWithAReason) {
  struct Row { const char* file; const char* bytes; const char* why; } rows[] = {
      {"DATA/abc.bin", "x", "bad resource file name"},       {"DATA/40000.bin", "x", "bad resource file name"},
      {"DATA/1 one.txt", "x", "two files for one resource"}, {"PICT/3.png", "not a png at all, just text", "not a PNG"},
  };
  Write("DATA/1.bin", "good");
  for (const Row& r : rows) {
    SCOPED_TRACE(r.file);
    Write(r.file, r.bytes);
    std::string error;
    EXPECT_EQ(-1, OpenResourceFolder(root_.string(), &error));
    EXPECT_NE(std::string::npos, error.find(r.why)) << error;
    EXPECT_TRUE(OpenResourceFiles().empty()) << "a refused folder opens nothing";
    fs::remove(root_ / r.file);
  }
  std::string error;  // a missing folder, then the good one
  EXPECT_EQ(-1, OpenResourceFolder((root_ / "missing").string(), &error));
  EXPECT_NE(std::string::npos, error.find("not a folder")) << error;
  EXPECT_GT(OpenResourceFolder(root_.string(), nullptr), 0) << "the good folder opens once fixed";
}

}  // namespace
