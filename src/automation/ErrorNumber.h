#pragma once

#include <cstdint>

namespace ixo::ErrorNumber {

inline constexpr std::int32_t InvalidProcedureCall = 5;
inline constexpr std::int32_t Overflow = 6;
inline constexpr std::int32_t SubscriptOutOfRange = 9;
inline constexpr std::int32_t TypeMismatch = 13;
inline constexpr std::int32_t FileNotFound = 53;
inline constexpr std::int32_t DeviceUnavailable = 68;
inline constexpr std::int32_t PermissionDenied = 70;
inline constexpr std::int32_t PathFileAccess = 75;
inline constexpr std::int32_t ObjectNotSet = 91;
inline constexpr std::int32_t InvalidUseOfNull = 94;
inline constexpr std::int32_t InvalidFileFormat = 321;
inline constexpr std::int32_t PropertyReadOnly = 383;
inline constexpr std::int32_t DataValueNotFound = 327;
inline constexpr std::int32_t CannotCreateObject = 429;
inline constexpr std::int32_t MemberNotSupported = 438;
inline constexpr std::int32_t DuplicateKey = 457;
// Another user changed the same rows since they were read.
inline constexpr std::int32_t WriteConflict = 3197;
inline constexpr std::int32_t Fail = static_cast<std::int32_t>(0x80004005u);
inline constexpr std::int32_t NotImplemented = static_cast<std::int32_t>(0x80004001u);

} // namespace ixo::ErrorNumber
