#include "tools/patcher/languages/language_records.h"

namespace orvo {

// Also the record of every identifier that no other language matches.
const language_record_t language_english = {{
    "English",
    "Update",
    "This program will update the game to version $VERSION$",
    "Continue",
    "Exit",
    "Abort",
    "Retry",
    "Data integrity check failed. The update file is damaged or incomplete, possibly due to an aborted download.",
    "Update was aborted on user request. The game files were not modified.",
    "The game files were not modified. You can apply this update again after fixing the issue.",
    "Data integrity check...",
    "Game not found! It is possible that it hasn't installed properly or some important files are missing. Try to "
    "copy this update to the directory where the game is installed (it should contain base.ktl file) and run it from "
    "there.",
    "Unsupported game version! This update does not support this version of the game, or the game files are "
    "corrupted.",
    "Checking file conditions...",
    "Warning: There is insufficient free space on the target disk, at least $SPACE$ MB is required.\nDo you want to "
    "continue anyway?",
    "The update is in progress! Do you really want to abort?",
    "Unable to create file!",
    "Unable to open file!",
    "Unable to read file!",
    "Unable to write file! The disk is full?",
    "Unable to move or delete file!",
    "Internal error!",
    "The game installation is corrupted. You need to reinstall the game before running this update again.",
    "The game update was successfully finished.",
    "The game is already up to date.",
    "Updating files...\nIt could take some time.",
    "Another instance of the game or this updater is already running...",
    "You do not have the appropriate privileges on this system. Log on as an administrator and then run this update "
    "again.",
    "Continue Anyway",
    "More information about this issue might be available in the log found in $LOGFILE$",
    "Ensure that you've got sufficient rights to access the game files. If there's an anti-virus solution, suspend "
    "it while applying this update.",
    "The update is not finished! Do you really want to exit?",
    "Update",
    steam_unsupported_text,
}};

} // namespace orvo
