// Manifests: what parses, and how bad ones are refused with the line at fault.
#include "publisher_test_support.h"

#include "tools/publisher/layout_path_rules.h"
#include "tools/publisher/manifest_packer.h"

#include <sstream>

namespace orvo::publisher::testing {
namespace {

class manifest_test : public publisher_test_t {
protected:
  bool parse(const std::string& text) {
    std::istringstream input(text);
    return parse_manifest(input, "m", dir_, manifest_);
  }

  manifest_t manifest_;
};

TEST_F(manifest_test, statements_fill_the_manifest) {
  ASSERT_TRUE(parse("  # comment\n"
                    "layout kora 1.13 match=empty\r\n"
                    "file \"a b/c\\\"d.txt\" zero  # trailing comment\n"
                    "key k 000102030405060708090A0B0C0D0E0F101112131415161718191a1b1c1d1e1f\n"
                    "keys k\n"
                    "diff x xdlt d.vcdiff size=5 key=k id=" + std::string(64, 'f') + "\n"
                    "patch @x.bin " + std::string(64, '0') + " x " + std::string(64, 'e') + "\n"));
  ASSERT_EQ(manifest_.layouts.size(), 1u);
  EXPECT_EQ(manifest_.layouts[0].version, (std::array<u32, 4>{1, 13, 0, 0}));
  EXPECT_EQ(manifest_.layouts[0].match.value, empty_content_hash());
  ASSERT_EQ(manifest_.layouts[0].entries.size(), 1u);
  EXPECT_EQ(manifest_.layouts[0].entries[0].path, "a b/c\"d.txt");
  EXPECT_EQ(manifest_.layouts[0].entries[0].line, 3u);
  ASSERT_EQ(manifest_.diffs.size(), 1u);
  EXPECT_EQ(manifest_.diffs[0].method, block_method_t::delta);
  EXPECT_EQ(manifest_.diffs[0].output_size, 5u);
  EXPECT_EQ(manifest_.diffs[0].data, dir_ / "d.vcdiff");
  EXPECT_TRUE(manifest_.diffs[0].has_id);
  ASSERT_EQ(manifest_.patches.size(), 1u);
  EXPECT_EQ(manifest_.patches[0].source.file, dir_ / "x.bin");
  ASSERT_EQ(manifest_.patches[0].diffs.size(), 2u);
  EXPECT_EQ(manifest_.patches[0].diffs[0].name, "x");
  EXPECT_TRUE(manifest_.patches[0].diffs[1].name.empty());
}

TEST_F(manifest_test, auto_diffs_name_both_files_and_the_methods_to_choose_from) {
  ASSERT_TRUE(parse("diff p auto old/a.bin new/a.bin methods=xdlt,lzm2 preset=9 id=" + std::string(64, 'c') + "\n"
                    "diff q auto - new/b.bin\n"));
  ASSERT_EQ(manifest_.diffs.size(), 2u);
  const manifest_diff_t& p = manifest_.diffs[0];
  EXPECT_TRUE(p.automatic);
  EXPECT_EQ(p.old_data, dir_ / "old/a.bin");
  EXPECT_EQ(p.data, dir_ / "new/a.bin");
  EXPECT_FALSE(p.methods.copy);
  EXPECT_TRUE(p.methods.lzma);
  EXPECT_TRUE(p.methods.delta);
  EXPECT_EQ(p.preset, 9u);
  EXPECT_TRUE(p.has_id);
  const manifest_diff_t& q = manifest_.diffs[1];
  EXPECT_TRUE(q.automatic);
  EXPECT_TRUE(q.old_data.empty());
  EXPECT_TRUE(q.methods.copy && q.methods.lzma && q.methods.delta);
}

struct bad_manifest_t {
  std::string text;
  const char* message;  // expected in the error line, after "m(LINE): "
};

TEST_F(manifest_test, bad_statements_are_reported_with_their_line) {
  const std::string hex(64, 'a');
  const bad_manifest_t cases[] = {
      {"\n\nfrobnicate x\n", "m(3): unknown statement 'frobnicate'"},
      {"file a.txt zero\n", "m(1): 'file' before any 'layout'"},
      {"layout kora 1.x\n", "m(1): '1.x' is not a version"},
      {"layout kora 1.2.3.4.5\n", "m(1): '1.2.3.4.5' is not a version"},
      {"layout kora 1 bogus=1\n", "m(1): unexpected 'bogus=1'"},
      {"layout kora 1\nfile a.txt 12ab\n", "m(2): '12ab' is not a hash"},
      {"layout kora 1\nfile \"a.txt zero\n", "m(2): unterminated quote"},
      {"layout kora\n", "m(1): 'layout' takes 2 or more arguments, 1 given"},
      {"key k 0011\n", "m(1): a key is 64 hex digits"},
      {"keys nokey\n", "m(1): unknown key 'nokey'"},
      {"diff a copy a.bin\ndiff a copy b.bin\n", "m(2): diff 'a' is defined twice"},
      {"diff a zip a.bin\n", "m(1): unknown method 'zip'"},
      {"diff a xdlt a.vcdiff\n", "m(1): an xdlt diff needs either size=N or target=FILE"},
      {"diff a lzm2 a.bin preset=10\n", "m(1): preset is a number from 0 to 9"},
      {"diff a copy a.bin preset=1\n", "m(1): unexpected 'preset=1'"},
      {"diff a copy a.bin key=k\n", "m(1): unknown key 'k'"},
      {"patch empty zero missing\n", "m(1): unknown diff 'missing'"},
      {"meta abc 10\n", "m(1): a diff id is 64 hex digits"},
      {"diff a auto new.bin\n", "m(1): 'diff' takes 4 or more arguments, 3 given"},
      {"key k " + hex + "\ndiff a auto o.bin n.bin key=k\n", "m(2): unexpected 'key=k'"},
      {"diff a auto o.bin n.bin methods=copy,zip\n", "m(1): 'copy,zip' is not a list of methods"},
      {"diff a auto o.bin n.bin methods=\n", "m(1): '' is not a list of methods"},
      {"diff a auto - n.bin methods=xdlt\n", "m(1): without an old file only copy and lzm2 are possible"},
  };
  for (const bad_manifest_t& bad : cases) {
    log_lines.clear();
    EXPECT_FALSE(parse(bad.text)) << bad.text;
    EXPECT_TRUE(logged(bad.message)) << bad.text << " -> " << (log_lines.empty() ? "" : log_lines[0]);
  }
  log_lines.clear();
  EXPECT_FALSE(parse("diff " + hex + " copy a.bin\n"));
  EXPECT_TRUE(logged("cannot name a diff"));
}

TEST_F(manifest_test, pack_refuses_what_the_updater_would_reject) {
  write_bytes(file("a.bin"), bytes_t{1, 2, 3});
  const std::string id(64, '1');
  const std::string key = "key k " + std::string(64, '2') + "\n";
  const std::string cases[][2] = {
      {"layout kora 1\nfile ../outside.dll zero\n", "m(2): path '../outside.dll' has a '.' or '..' component"},
      {"layout kora 1\nfile /etc/passwd zero\n", "m(2): path '/etc/passwd' is absolute"},
      {"layout kora 1\nfile bin\\a.exe zero\n", "contains a backslash"},
      {"layout " + std::string(64, 'n') + " 1\n", "m(1): layout name '" + std::string(64, 'n')},
      {"layout kora 1\nfile missing.bin @missing.bin\n", "m(2): unable to hash"},
      {"diff a copy missing.bin\n", "m(1): diff 'a' cannot be written"},
      {"diff a copy a.bin id=" + id + "\ndiff b lzm2 a.bin id=" + id + "\n", "m(2): diff 'b' cannot be written"},
      {"diff a copy a.bin\ndiff b copy a.bin\n", "is stored twice"},
      {key + "keys k\nkeys k\n", "m(3): keys cannot be written"},
      {"meta " + id + " 15\n", "m(1): declaration of diff " + id + " cannot be written"},
      {"diff a copy a.bin id=" + id + "\nmeta " + id + " 20\n", "is declared differently"},
      {"diff a auto missing.bin a.bin\n", "m(1): diff 'a' cannot be written"},
  };
  for (const auto& [text, message] : cases) {
    log_lines.clear();
    ASSERT_TRUE(parse(text)) << text;
    EXPECT_FALSE(pack_manifest(manifest_, file("out.ktlc"), nullptr)) << text;
    EXPECT_TRUE(logged(message)) << text << " -> " << (log_lines.empty() ? "" : log_lines.back());
    for (const auto& entry : std::filesystem::directory_iterator(dir_))
      EXPECT_NE(entry.path().filename().string().rfind("out.ktlc", 0), 0u) << entry.path();
  }
  // A declaration that agrees with the stored diff is accepted.
  ASSERT_TRUE(parse("diff a copy a.bin id=" + id + "\nmeta " + id + " 19\n"));
  EXPECT_TRUE(pack_manifest(manifest_, file("out.ktlc"), nullptr));
}

TEST(layout_path_rules, only_clean_relative_paths_pass) {
  for (const char* good : {"a", "bin/win_x86/velmora2.exe", "data/some file.pak", "a/.hidden/b..c"})
    EXPECT_EQ(layout_path_problem(good), nullptr) << good;
  for (const char* bad : {"", "/a", "a//b", "a/", "./a", "a/../b", "..", "a\\b", "c:/a", "a\tb"})
    EXPECT_NE(layout_path_problem(bad), nullptr) << bad;
  EXPECT_EQ(layout_path_problem(std::string(127, 'p')), nullptr);
  EXPECT_NE(layout_path_problem(std::string(128, 'p')), nullptr);
}

} // namespace
} // namespace orvo::publisher::testing
