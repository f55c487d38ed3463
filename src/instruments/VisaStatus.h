#pragma once

#include <cstdint>

// The error numbers of instrument communication: the VISA status codes instrument programmers
// already know from their own tools.
namespace ixo::VisaStatus {

inline constexpr std::int32_t ResourceLocked = static_cast<std::int32_t>(0xBFFF000Fu);
inline constexpr std::int32_t ResourceNotFound = static_cast<std::int32_t>(0xBFFF0011u);
inline constexpr std::int32_t InvalidResourceName = static_cast<std::int32_t>(0xBFFF0012u);
inline constexpr std::int32_t Timeout = static_cast<std::int32_t>(0xBFFF0015u);
inline constexpr std::int32_t Io = static_cast<std::int32_t>(0xBFFF003Eu);
inline constexpr std::int32_t NotSupported = static_cast<std::int32_t>(0xBFFF0067u);
inline constexpr std::int32_t NoPermission = static_cast<std::int32_t>(0xBFFF00A8u);
inline constexpr std::int32_t ResourceBusy = static_cast<std::int32_t>(0xBFFF0072u);
inline constexpr std::int32_t Abort = static_cast<std::int32_t>(0xBFFF0010u);
inline constexpr std::int32_t ConnectionLost = static_cast<std::int32_t>(0xBFFF00A6u);

} // namespace ixo::VisaStatus
