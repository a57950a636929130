#pragma once

namespace orvo {

// Fixed at build time.
inline constexpr const char* target_version = "1.13.3";
inline constexpr const char* product_name = "Velmora II";
inline constexpr const char* product_abbreviation = "kora";
inline constexpr const char* automatic_mode_variable = "KTL_PATCH_OPTION_AUTOMATIC";
inline constexpr unsigned command_line_max_units = 100000;

// A directory is the installation when this file is in it.
inline constexpr const char* reference_file = "bin/win_x86/velmora2.exe";
inline constexpr const char* install_dir_registry_value = "HKEY_LOCAL_MACHINE\\SOFTWARE\\KTL Software\\%s\\InstallDir";
// Present in installations that Steam manages: the Steam application number and "_install.vdf".
inline constexpr const char* steam_marker = "1460510_install.vdf";
// The game and the updater hold the same single-instance mutex.
inline constexpr const char* instance_name = "qoru";
inline constexpr const char* writability_test_file = "~t~";

} // namespace orvo
