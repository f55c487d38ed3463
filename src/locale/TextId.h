#pragma once

#include <cstdint>

// The ids of the catalogue texts the code uses. Several are halves of one message, built by
// concatenation around a name, so they begin or end with a space.
namespace ixo::TextId {

constexpr std::int32_t kNameLabel = 200;
constexpr std::int32_t kDescriptionLabel = 201;
constexpr std::int32_t kCaptureTitle = 210;
// Followed by the state's name.
constexpr std::int32_t kEditNameTitle = 211;
constexpr std::int32_t kImportTitle = 212;
constexpr std::int32_t kStateFileFilter = 213;
// "Export " + name + " To".
constexpr std::int32_t kExportTitleBefore = 214;
constexpr std::int32_t kExportTitleAfter = 215;
// Followed by a number.
constexpr std::int32_t kNewStateNamePrefix = 216;
constexpr std::int32_t kCaptureFailed = 219;
constexpr std::int32_t kErrorDetails = 220;
constexpr std::int32_t kErrorTitle = 221;
constexpr std::int32_t kExportFailed = 222;
// "The imported state is for the " + model + ", version " + version, then "Can not import...".
constexpr std::int32_t kImportOtherInstrument = 223;
constexpr std::int32_t kVersionSeparator = 224;
constexpr std::int32_t kCannotImport = 225;
// "Imported state " + name + " is already in the list.", then "You must rename it.".
constexpr std::int32_t kImportNameTakenBefore = 226;
constexpr std::int32_t kImportNameTakenAfter = 227;
constexpr std::int32_t kMustRename = 228;
// After a file name.
constexpr std::int32_t kNotAStateFile = 229;
constexpr std::int32_t kRestoreFailed = 230;
// "The selected state is for the instrument model " + model + ", version " + version, then
// "which is not the currently connected instrument...".
constexpr std::int32_t kRestoreOtherInstrument = 231;
constexpr std::int32_t kNotConnectedInstrument = 232;
// After a state's name.
constexpr std::int32_t kNameTaken = 233;

} // namespace ixo::TextId
