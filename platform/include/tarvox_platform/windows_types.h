// Basic Windows and COM types for the native Linux build. The layouts are those of 64-bit
// Windows: LONG and ULONG are 32 bits, pointers 64 bits, OLECHAR a 16-bit code unit.
#pragma once

#include <cstddef>
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using INT = int;
using UINT = unsigned int;
using BOOL = int;
using HRESULT = std::int32_t;
using LCID = DWORD;
using DISPID = LONG;
using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;
using LPVOID = void*;
using LPCVOID = const void*;
using LPSTR = char*;
using LPCSTR = const char*;
using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;
using HANDLE = void*;
using HGLOBAL = void*;
using HRSRC = void*;

// An instance handle names a loaded library; see tarvox_platform/module_image.h.
using HMODULE = void*;
using HINSTANCE = HMODULE;
using FARPROC = void (*)();

#define OLESTR(text) u##text
#define STDMETHODCALLTYPE
#define WINAPI
#define TRUE 1
#define FALSE 0
#define VARIANT_TRUE (static_cast<VARIANT_BOOL>(-1))
#define VARIANT_FALSE (static_cast<VARIANT_BOOL>(0))
#define MAX_PATH 260
#define CP_ACP 0u
#define CP_UTF8 65001u

#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)

inline constexpr HRESULT MakeHresult(std::uint32_t bits) { return static_cast<HRESULT>(bits); }

#define S_OK MakeHresult(0x00000000u)
#define S_FALSE MakeHresult(0x00000001u)
#define E_NOTIMPL MakeHresult(0x80004001u)
#define E_NOINTERFACE MakeHresult(0x80004002u)
#define E_POINTER MakeHresult(0x80004003u)
#define E_FAIL MakeHresult(0x80004005u)
#define E_UNEXPECTED MakeHresult(0x8000FFFFu)
#define E_OUTOFMEMORY MakeHresult(0x8007000Eu)
#define E_INVALIDARG MakeHresult(0x80070057u)
#define CLASS_E_NOAGGREGATION MakeHresult(0x80040110u)
#define CLASS_E_CLASSNOTAVAILABLE MakeHresult(0x80040111u)
#define REGDB_E_CLASSNOTREG MakeHresult(0x80040154u)
#define REGDB_E_WRITEREGDB MakeHresult(0x80040151u)
#define REGDB_E_IIDNOTREG MakeHresult(0x80040155u)
#define CO_E_CLASSSTRING MakeHresult(0x800401F3u)
#define TYPE_E_CANTLOADLIBRARY MakeHresult(0x80029C4Au)
#define DISP_E_UNKNOWNNAME MakeHresult(0x80020006u)
#define DISP_E_MEMBERNOTFOUND MakeHresult(0x80020003u)
#define DISP_E_BADINDEX MakeHresult(0x8002000Bu)
#define DISPID_UNKNOWN (-1)
#define CONNECT_E_NOCONNECTION MakeHresult(0x80040200u)
#define CONNECT_E_CANNOTCONNECT MakeHresult(0x80040202u)

struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};
static_assert(sizeof(GUID) == 16);

using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline bool IsEqualGUID(REFGUID a, REFGUID b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}
inline bool IsEqualIID(REFIID a, REFIID b) { return IsEqualGUID(a, b); }
inline bool IsEqualCLSID(REFCLSID a, REFCLSID b) { return IsEqualGUID(a, b); }
inline bool operator==(REFGUID a, REFGUID b) { return IsEqualGUID(a, b); }

#define MAKEINTRESOURCEA(id) (reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(static_cast<WORD>(id))))
#define IS_INTRESOURCE(p) ((reinterpret_cast<std::uintptr_t>(p) >> 16) == 0)
