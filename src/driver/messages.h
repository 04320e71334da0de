#pragma once

namespace shiftlet::messages {

// The program's texts, word for word as users and Velmora's support know them.
inline constexpr const char* kCaption = "Shiftlet";

inline constexpr const char* kAskInstalled = "Have you already installed Velmora 1.1?";
inline constexpr const char* kInstallFirst =
    "Please make sure you have installed Velmora 1.1 first and then run the Shiftlet tool again.";
inline constexpr const char* kAskContinue =
    "This tool will convert your old menu file from Velmora 1.0 to the new file specification "
    "compatible, so that it could be used with Velmora 1.1 and later. Would you like to continue?";
inline constexpr const char* kSelectSource =
    "You will now be requested to select the old menu.qof file from Velmora 1.0";
inline constexpr const char* kSelectDestination =
    "Please locate the folder in which you have installed Velmora 1.1 or later and select a "
    "suitable file name for the new menu file or leave the one chosen for you.";
inline constexpr const char* kSuccess =
    "The conversion has been successful! You don't have to do anything more now, just start "
    "enjoying your menu in a brand new engine! :)";
inline constexpr const char* kFailure =
    "An error occured during the conversion. Please send your menu.qof file to Tollenby for "
    "analysis and we will troubleshoot it for you. Thank you and sorry for your inconvenience.";

inline constexpr const char* kSourceFilter = "QOF file|*.qof";
inline constexpr const char* kSourceFolder = "C:\\Velmora\\";
inline constexpr const char* kSourceName = "menu.qof";
inline constexpr const char* kSourceTitle = "Select your source QOF file";

inline constexpr const char* kDestinationFilter = "QNF file|*.qnf";
inline constexpr const char* kDestinationFolder = "C:\\Program Files\\Velmora\\";
inline constexpr const char* kDestinationTitle = "Select your destination QNF file";

inline constexpr const char* kConfigurationName = "default.qcf";
// default.qcf as it was before a conversion first changed it, beside it, for an undo.
inline constexpr const char* kConfigurationBackupSuffix = ".before-shiftlet";

// Asked after the second picker when the file picked exists and holds other bytes than the
// conversion: "<path> already exists ... Velmora 1.1.", a blank line, "Replace it?".
inline constexpr const char* kReplaceDiffers =
    " already exists and differs from the converted menus. It may hold changes made in Velmora "
    "1.1.";
inline constexpr const char* kReplaceIt = "Replace it?";

// Asked when a file another program holds is still in use after a short wait, after
// "<file> is in use by <program>".
inline constexpr const char* kCloseAndRetry =
    ". Close it, then choose Retry. Cancel leaves the file as it is; run Shiftlet again later to "
    "finish.";

}  // namespace shiftlet::messages
