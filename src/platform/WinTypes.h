#pragma once
// The handful of Windows scalar types, result codes and the window handle that the graphics and
// window layers are shaped after. Fixed widths on every platform (a Windows LONG is 32 bits).
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using INT = std::int32_t;
using ULONG = std::uint32_t;
using LONG = std::int32_t;
using BOOL = std::int32_t;
using HRESULT = std::int32_t;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

struct RECT
{
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

// A window of the platform layer. Only the platform layer sees inside (platform/SdlWindow.h);
// everything else passes the handle around.
struct HWND__;
using HWND = HWND__*;
