#include "commands.h"
#include "stderr_message_handler.h"

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

using namespace orvo::publisher;

const char* const general_help =
    "ktlpack - builds and checks signed patch containers (KTLP version 2)\n"
    "\n"
    "usage: ktlpack <command> [arguments]\n"
    "\n"
    "commands:\n"
    "  keygen   make a 4096-bit RSA signing key pair\n"
    "  pack     build a signed container from a manifest\n"
    "  inspect  print what the updater's reader sees in a container\n"
    "  verify   open a container with a public key as the updater does\n"
    "  diff     make the VCDIFF delta between two files\n"
    "  apply    rebuild a file from a delta with the updater's decoder\n"
    "  release  build the signed container of a release from the game's versions\n"
    "  embed    put a container into an updater program\n"
    "\n"
    "'ktlpack <command> --help' describes a command.\n"
    "Exit codes: 0 success, 1 the operation failed or the container was refused, 2 usage error.\n";

struct command_t {
  const char* name;
  int (*run)(const arguments_t&);
  const char* const* help;
};

const command_t commands[] = {
    {"keygen", run_keygen, &keygen_help},
    {"pack", run_pack, &pack_help},
    {"inspect", run_inspect, &inspect_help},
    {"verify", run_verify, &verify_help},
    {"diff", run_diff, &diff_help},
    {"apply", run_apply, &apply_help},
    {"release", run_release, &release_help},
    {"embed", run_embed, &embed_help},
};

bool is_help(const char* word) { return !std::strcmp(word, "--help") || !std::strcmp(word, "-h"); }

const command_t* find_command(const char* name) {
  for (const command_t& command : commands)
    if (!std::strcmp(command.name, name)) return &command;
  return nullptr;
}

int run(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(general_help, stderr);
    return exit_usage;
  }
  if (is_help(argv[1]) || !std::strcmp(argv[1], "help")) {
    const command_t* command = argc > 2 ? find_command(argv[2]) : nullptr;
    std::fputs(command ? *command->help : general_help, stdout);
    return exit_success;
  }
  const command_t* command = find_command(argv[1]);
  if (!command) {
    std::fprintf(stderr, "ktlpack: unknown command '%s'\n\n%s", argv[1], general_help);
    return exit_usage;
  }
  arguments_t arguments(argv + 2, argv + argc);
  for (const std::string& word : arguments) {
    if (is_help(word.c_str())) {
      std::fputs(*command->help, stdout);
      return exit_success;
    }
  }
  return command->run(arguments);
}

} // namespace

int main(int argc, char** argv) {
  orvo::create_message_dispatcher();
  stderr_message_handler_t handler;
  orvo::message_dispatcher()->register_handler(&handler);
  int code = exit_failure;
  try {
    code = run(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "ktlpack: unexpected failure: %s\n", error.what());
  }
  orvo::message_dispatcher()->unregister_handler(&handler);
  orvo::destroy_message_dispatcher();
  return code;
}
