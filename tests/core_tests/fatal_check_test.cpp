#include "message_capture.h"

#include <cstdio>
#include <string>

namespace orvo {
namespace {

void report_hook_call(const char* message, const char* source_file, u32 line, const char* function) {
  std::fprintf(stderr, "hook: message=%s file=%s line=%u function=%s\n", message, source_file, line, function);
  std::fflush(stderr);
}

using fatal_check = testing::with_stderr_log;

TEST_F(fatal_check, logs_source_line_function_and_message_then_calls_the_hook) {
  EXPECT_DEATH(fatal_check_failed("thread/locks", 153, "_ZN4orvo6thread6lock_tC2Ev", "Unable to create event."),
               "level 3: thread/locks\\(153\\): _ZN4orvo6thread6lock_tC2Ev: Unable to create event\\.");
  EXPECT_DEATH(
      {
        fatal_hook = report_hook_call;
        fatal_check_failed("ufs/fs_file", 77, "f", "Broken.");
      },
      "level 3: ufs/fs_file\\(77\\): f: Broken\\.\nhook: message=Broken\\. file=ufs/fs_file line=77 function=f");
}

TEST_F(fatal_check, ends_the_process_even_without_dispatcher) {
  EXPECT_DEATH(
      {
        destroy_message_dispatcher();
        fatal_check_failed("a", 1, "f", "m");
      },
      "");
}

TEST_F(fatal_check, check_macro_reports_the_source_path_inside_the_tree) {
  const int value = 3;
  const std::string expected =
      "level 3: tests/core_tests/fatal_check_test\\.cpp\\(" + std::to_string(__LINE__ + 1) + "\\): .*: Value must be 2\\.";
  EXPECT_DEATH(ORVO_CHECK(value == 2, "Value must be 2."), expected);
}

TEST(source_path_in_tree, same_report_for_absolute_and_relative_builds) {
  const std::pair<const char*, const char*> cases[] = {
      {"/work/src/clone/src/ovcore/ufs/fs_file.cpp", "ufs/fs_file.cpp"},
      {"../../src/ovcore/ufs/fs_file.cpp", "ufs/fs_file.cpp"},
      {"../../src/ovutils/ufs/mem_file.cpp", "ufs/mem_file.cpp"},
      {"/tests/x/src/patch/decode_delta.cpp", "patch/decode_delta.cpp"},
      {"/home/src/clone/tests/core_tests/a.cpp", "tests/core_tests/a.cpp"},
      {"C:\\b\\src/ovcore/a.cpp", "a.cpp"},
      {"resrc/x.cpp", "resrc/x.cpp"},
  };
  for (const auto& [path, expected] : cases) EXPECT_STREQ(source_path_in_tree(path), expected) << path;
}

} // namespace
} // namespace orvo
