// Finding the project a command runs in: talvo.toml here or in the nearest
// folder above, or the file --project names; --no-project ignores it; a
// file that is wrong is said to be, with its status.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "project_lookup.h"
#include "support/process.h"

namespace talvo::cli {
namespace {

namespace fs = std::filesystem;
using talvo::testing::TempFolder;
using talvo::testing::write_file;

// Runs in `folder`, and goes back where it was.
class InFolder {
 public:
  explicit InFolder(const fs::path& folder) : before_(fs::current_path()) { fs::current_path(folder); }
  ~InFolder() { fs::current_path(before_); }
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;

 private:
  fs::path before_;
};

// proj/talvo.toml, and the folders proj/a/b below it.
struct ProjectTree {
  TempFolder root;
  fs::path project = root / "proj";
  ProjectTree() {
    fs::create_directories(project / "a" / "b");
    write_file(project / "talvo.toml", "image = \"game.smc\"\n[text]\nmsg = \"text/MsgDataDecode.txt\"\n");
  }
};

struct FoundCase {
  const char* name;
  fs::path where;  // below proj/
  std::string file;
  std::string image;
};

const FoundCase kFound[] = {
    {"in the project's folder", "", "talvo.toml", "game.smc"},
    {"one folder below", "a", "../talvo.toml", "../game.smc"},
    {"two folders below", "a/b", "../../talvo.toml", "../../game.smc"},
};

class ProjectLookupFound : public ::testing::TestWithParam<int> {};

TEST_P(ProjectLookupFound, FromAnyFolderBelowIt) {
  const FoundCase& c = kFound[GetParam()];
  SCOPED_TRACE(c.name);
  ProjectTree tree;
  InFolder in(tree.project / c.where);
  EXPECT_EQ(nearest_project_file(), c.file);
  const ProjectLookup lookup = find_project(Options{});
  ASSERT_FALSE(lookup.failed());
  ASSERT_TRUE(lookup.project.has_value());
  EXPECT_EQ(lookup.project->image, c.image);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProjectLookupFound, ::testing::Range(0, static_cast<int>(std::size(kFound))));

TEST(ProjectLookup, FindsNoneOutsideAProjectAndStopsAtTheRoot) {
  TempFolder folder;
  fs::create_directories(folder / "deep" / "er");
  InFolder in(folder / "deep" / "er");
  // The walk reaches the root: anything found lies outside this folder.
  const auto found = nearest_project_file();
  if (found) {
    EXPECT_FALSE(fs::equivalent(fs::path(*found).parent_path(), folder.path())) << *found;
  }
}

TEST(ProjectLookup, NoProjectIgnoresIt) {
  ProjectTree tree;
  InFolder in(tree.project / "a");
  Options options;
  options.no_project = true;
  const ProjectLookup lookup = find_project(options);
  EXPECT_FALSE(lookup.failed());
  EXPECT_FALSE(lookup.project.has_value());
}

TEST(ProjectLookup, ProjectNamesTheFileToRead) {
  ProjectTree tree;
  write_file(tree.root / "other.toml", "output = \"out/new.smc\"\n");
  InFolder in(tree.project / "a");
  Options options;
  options.project_file = "../../other.toml";
  const ProjectLookup lookup = find_project(options);
  ASSERT_TRUE(lookup.project.has_value());
  EXPECT_EQ(lookup.project->output, "../../out/new.smc");
  EXPECT_EQ(lookup.project->image, "");
}

struct FailureCase {
  const char* name;
  std::string file;  // what talvo.toml holds; "" for a folder in its place
  std::string project_option;
  int status;
  std::string says;
};

const FailureCase kFailures[] = {
    {"a misspelt key", "image = \"g.smc\"\nimgae = \"h.smc\"\n", "", 2,
     "../talvo.toml:2:1: error: unknown key 'imgae'; did you mean 'image'?\n"},
    {"bad TOML", "image = \"g.smc\n", "", 2, "../talvo.toml:1:15: error: "},
    {"a folder in its place", "", "", 1, "talvo: ../talvo.toml: a folder, not a file\n"},
    {"a missing --project", "image = \"g.smc\"\n", "missing.toml", 1,
     "talvo: missing.toml: No such file or directory\n"},
};

class ProjectLookupFailure : public ::testing::TestWithParam<int> {};

TEST_P(ProjectLookupFailure, SaysWhatIsWrongWithItsStatus) {
  const FailureCase& c = kFailures[GetParam()];
  SCOPED_TRACE(c.name);
  TempFolder folder;
  fs::create_directories(folder / "sub");
  if (c.file.empty()) {
    fs::create_directory(folder / "talvo.toml");
  } else {
    write_file(folder / "talvo.toml", c.file);
  }
  InFolder in(folder / "sub");
  Options options;
  options.project_file = c.project_option;
  ::testing::internal::CaptureStderr();
  const ProjectLookup lookup = find_project(options);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(lookup.status, c.status);
  EXPECT_FALSE(lookup.project.has_value());
  EXPECT_EQ(said.substr(0, c.says.size()), c.says) << said;
}

INSTANTIATE_TEST_SUITE_P(Cases, ProjectLookupFailure, ::testing::Range(0, static_cast<int>(std::size(kFailures))));

}  // namespace
}  // namespace talvo::cli
