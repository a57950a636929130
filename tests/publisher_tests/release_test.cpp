// ktlpack release on generated game versions: every older version is brought to the target by
// the updater's own analysis and application; malformed descriptions and inputs are refused.
#include "publisher_test_support.h"

#include "common/file_tree.h"
#include "patch/analyze_patch.h"
#include "patch/apply_patch.h"
#include "patch/container_pool.h"
#include "tools/publisher/ktlpack/commands.h"
#include "tools/publisher/ktlpack/container_opening.h"
#include "tools/publisher/release_description.h"
#include "tools/publisher/rsa_keys.h"

#include <sstream>

namespace orvo::publisher::testing {
namespace {

namespace fs = std::filesystem;

// One row per file: its content in each older version and in the target; "" absent, "=" an
// empty file, else a content name whose last digit is its edit level.
struct file_row_t {
  const char* path;
  const char* contents[3];
};

const file_row_t game[] = {
    {"bin/game.exe", {"exe1", "exe2", "exe3"}},
    {"data/main.pak", {"pak1", "pak1", "pak2"}},  // equal in both older versions
    {"data/copy.pak", {"pak1", "pak1", "pak2"}},  // the same contents at another path
    {"data/intro.bik", {"bik1", "bik1", ""}},     // deleted
    {"data/new.map", {"", "map1", "map2"}},       // added by the middle version
    {"data/mods.lst", {"", "=", "="}},            // empty
    {"cache/shaders.bin", {"sh1", "sh2", "="}},   // emptied
    {"base_cfg.ktl", {"arc1", "arc1", "arc1"}},
    {"cfg/video.cfg", {"vid1", "vid2", "vid3"}},
    {"dlc_winter.ktl", {"dlc1", "dlc1", "dlc1"}},
    {"data/north.map", {"nor1", "nor1", ""}},     // moved from the base into the DLC
    {"dlc/winter/north.map", {"", "", "nor1"}},
    {"dlc/winter/tales.txt", {"tal1", "tal1", ""}},  // moved from the DLC into the base, edited
    {"data/tales.txt", {"", "", "tal2"}},
};
const char* const labels[] = {"1.0", "1.1", "1.2"};
constexpr size_t target_column = 2;

// Related contents share most bytes, so deltas pay off.
bytes_t content_bytes(const std::string& name) {
  const std::string stem = name.substr(0, name.size() - 1);
  bytes_t bytes = random_bytes(30000 + 1000 * stem.size(), static_cast<u32>(std::hash<std::string>()(stem)));
  for (int level = 2; level <= name.back() - '0'; ++level)
    for (size_t at = level * 911; at < bytes.size(); at += 4099) bytes[at] ^= static_cast<u8>(level);
  return bytes;
}

using orvo::testing::files_t;
using orvo::testing::same_files;
using orvo::testing::snapshot;

class release_test : public publisher_test_t {
protected:
  void SetUp() override {
    publisher_test_t::SetUp();
    for (size_t column = 0; column < 3; ++column) write_version(column, file(labels[column]));
    write_text(file("release.txt"), "target 1.2 1.2\nolder 1.0 1.0\nolder 1.1 1.1\nkey " +
                                        dev_key_path("dev-private.key").string() +
                                        "\nconfig\n  file cfg/\ndlc dlc_winter\n  file dlc/winter/\n");
  }

  static void write_version(size_t column, const fs::path& root) {
    for (const file_row_t& row : game) {
      const std::string content = row.contents[column];
      if (content.empty()) continue;
      fs::create_directories((root / row.path).parent_path());
      write_bytes(root / row.path, content == "=" ? bytes_t() : content_bytes(content));
    }
  }

  int release(const std::vector<std::string>& options) {
    arguments_t arguments = {file("release.txt").string(), "-o", file("out.ktlc").string()};
    arguments.insert(arguments.end(), options.begin(), options.end());
    ::testing::internal::CaptureStdout();
    const int code = run_release(arguments);
    summary_ = ::testing::internal::GetCapturedStdout();
    return code;
  }

  // An older version as the installation.
  void install(size_t column) {
    fs::remove_all(file("game"));
    fs::copy(file(labels[column]), file("game"), fs::copy_options::recursive);
  }

  // ktlpack verify of the release against an installation; out receives what it printed.
  int verify_against(const fs::path& installation, std::string& out) {
    ::testing::internal::CaptureStdout();
    const int code = run_verify({file("out.ktlc").string(), "--public-key", dev_key_path("dev-public.der").string(),
                                 "--against", installation.string()});
    out = ::testing::internal::GetCapturedStdout();
    return code;
  }

  // The installation after the updater's analysis and application.
  files_t update() {
    const file_layer_t files;
    const bytes_t container = read_bytes(file("out.ktlc"));
    interop::dev_public_key_t key;
    patch::container_pool_t pool;
    EXPECT_EQ(pool.add_container(container.data(), static_cast<u32>(container.size()), nullptr, &key.list()),
              patch::container_open_result_t::ok);
    array_dyn_t<auto_ptr_t<patch::file_patching_info_t>> infos;
    EXPECT_EQ(patch::analyze_installation(infos, pool, file("game").string().c_str(), nullptr),
              patch::analyze_patch_result_t::ok);
    EXPECT_EQ(patch::apply_patch(infos, pool, nullptr), patch::apply_patch_result_t::ok);
    return snapshot(file("game"));
  }

  std::string summary_;
};

TEST_F(release_test, every_older_version_updates_to_the_target) {
  struct case_t {
    const char* name;
    std::vector<std::string> options;
  };
  const case_t cases[] = {{"direct", {"--jobs", "3"}}, {"chained", {"--chained"}}};
  const files_t target = snapshot(file(labels[target_column]));
  for (const case_t& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(release(c.options), exit_success) << summary_;
    for (size_t column = 0; column < target_column; ++column) {
      SCOPED_TRACE(labels[column]);
      install(column);
      std::string check;
      EXPECT_EQ(verify_against(file("game"), check), exit_success) << check;
      EXPECT_NE(check.find("outcome: update"), std::string::npos) << check;
      EXPECT_TRUE(same_files(update(), target));
    }
  }
}

// Identical older contents, and identical contents at two paths, give one file patch each.
TEST_F(release_test, identical_changes_are_stored_once_and_summarized) {
  ASSERT_EQ(release({}), exit_success);
  size_t file_patches = 0;
  for (const chunk_view_t& chunk : split_chunks(read_bytes(file("out.ktlc")))) file_patches += chunk.tag == "FPAT";
  // Older contents to target contents: exe1, exe2 -> exe3; pak1 -> pak2; nothing, map1 -> map2; vid1, vid2 -> vid3;
  // nothing -> nor1; nothing -> tal2.
  EXPECT_EQ(file_patches, 9u);
  // 1.0: changed exe, pak x2, shaders, video, tales; added new.map, north (DLC), tales (base);
  // removed intro, north (base), tales (DLC).
  EXPECT_NE(summary_.find("1.0"), std::string::npos);
  std::istringstream lines(summary_);
  std::string line, label;
  u64 changed = 0, added = 0, removed = 0, bytes = 0;
  std::getline(lines, line);
  ASSERT_TRUE(lines >> label >> changed >> added >> removed >> bytes) << summary_;
  EXPECT_EQ(label + " " + std::to_string(changed) + " " + std::to_string(added) + " " + std::to_string(removed),
            "1.0 5 4 3");
  EXPECT_GT(bytes, 0u);
}

TEST_F(release_test, layouts_only_leaves_the_target_unchanged) {
  ASSERT_EQ(release({"--layouts-only"}), exit_success);
  std::string check;
  EXPECT_EQ(verify_against(file(labels[target_column]), check), exit_success);
  EXPECT_NE(check.find("outcome: already up to date"), std::string::npos) << check;
}

TEST_F(release_test, bad_inputs_are_refused_without_an_output) {
  struct case_t {
    const char* name;
    std::function<void(const fs::path&)> prepare;  // in the test folder
    std::vector<std::string> options;
    int code;
    const char* message;
  };
  const auto describe = [](const std::string& text) {
    return [text](const fs::path& dir) { write_text(dir / "release.txt", text); };
  };
  const std::string key = "key " + dev_key_path("dev-private.key").string() + "\n";
  const case_t cases[] = {
      {"missing directory", describe("target 1.2 1.2\nolder 1.0 gone\n" + key), {}, exit_failure, "(2): '"},
      {"version without changes", describe("target 1.2 1.2\nolder 1.1 1.2\n" + key), {}, exit_failure,
       "has the same files as the target"},
      {"no older version", describe("target 1.2 1.2\n" + key), {}, exit_failure, "no 'older' version"},
      {"no key", describe("target 1.2 1.2\nolder 1.0 1.0\n"), {}, exit_failure, "no 'key'"},
      {"small key",
       [](const fs::path& dir) {
         CryptoPP::RSA::PrivateKey small;
         ASSERT_TRUE(generate_signing_key(small, 1024));
         ASSERT_TRUE(save_private_key(small, dir / "small.key"));
         write_text(dir / "release.txt", "target 1.2 1.2\nolder 1.0 1.0\nkey small.key\n");
       },
       {}, exit_failure, "has 1024 bits"},
      {"path the reader refuses", [](const fs::path& dir) { write_text(dir / "1.2/bad:name.txt", "x"); }, {},
       exit_failure, "contains a colon"},
      {"DLC archive missing", [](const fs::path& dir) { fs::remove(dir / "1.2/dlc_winter.ktl"); }, {}, exit_failure,
       "is not in the target version"},
      {"section naming nothing", describe("target 1.2 1.2\nolder 1.0 1.0\n" + key + "dlc dlc_x\n"), {}, exit_failure,
       "names no file"},
      {"no output", nullptr, {}, exit_usage, "one -o OUTPUT is needed"},
      {"no jobs", nullptr, {"--jobs", "0"}, exit_usage, "--jobs takes a number from 1"},
  };
  for (const case_t& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();  // a fresh folder per case
    SetUp();
    if (c.prepare) c.prepare(dir_);
    log_lines.clear();
    ::testing::internal::CaptureStderr();
    arguments_t arguments = {file("release.txt").string()};
    if (c.code != exit_usage || c.options.size()) arguments.insert(arguments.end(), {"-o", file("out.ktlc").string()});
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    EXPECT_EQ(run_release(arguments), c.code);
    const std::string usage = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(logged(c.message) || usage.find(c.message) != std::string::npos)
        << (log_lines.empty() ? usage : log_lines.back());
    for (const fs::directory_entry& entry : fs::directory_iterator(dir_))
      EXPECT_EQ(entry.path().string().find("out.ktlc"), std::string::npos) << entry.path();
  }
}

TEST_F(release_test, malformed_descriptions_are_refused_with_their_line) {
  struct case_t {
    const char* text;
    const char* message;
  };
  const case_t cases[] = {
      {"target 1.2", "d(1): 'target' takes 2 arguments, 1 given"},
      {"target 1.x dir", "d(1): '1.x' is not a version"},
      {"target 1.2 a\ntarget 1.3 b", "d(2): a second 'target'"},
      {"target 1.2 a\nolder 1.1 b\nolder 1.1 c", "d(3): label '1.1' is given twice"},
      {"target 1.2 a\nfile x.txt", "d(2): 'file' outside a 'config' or 'dlc' section"},
      {"target 1.2 a\ndlc winter", "d(2): DLC name 'winter' does not start with 'dlc_'"},
      {"target 1.2 a\ndlc dlc_x\ndlc dlc_x", "d(3): DLC 'dlc_x' is given twice"},
      {"target 1.2 a\nconfig\nfile ../x", "d(3): path '../x' has a '.' or '..' component"},
      {"target 1.2 a\nconfig\nfile base_cfg.ktl", "d(3): the configuration archive base_cfg.ktl belongs to the base"},
      {"target 1.2 a\nconfig\nfile a/\ndlc dlc_x\nfile a/", "d(5): path 'a/' is given twice"},
      {"target 1.2 \"a", "d(1): unterminated quote"},
      {"target 1.2 a\nrelease now", "d(2): unknown statement 'release'"},
      {"older 1.1 b  # no target", "d(0): no 'target VERSION DIR'"},
  };
  for (const case_t& c : cases) {
    SCOPED_TRACE(c.text);
    log_lines.clear();
    std::istringstream text(c.text);
    release_description_t description;
    EXPECT_FALSE(parse_release_description(text, "d", dir_, description));
    EXPECT_TRUE(logged(c.message)) << (log_lines.empty() ? "" : log_lines.front());
  }
}

} // namespace
} // namespace orvo::publisher::testing
