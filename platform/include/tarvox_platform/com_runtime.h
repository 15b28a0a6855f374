// The run-time services of the Windows platform that the module and the reference host use,
// implemented by the shared platform library so that every module of a process shares one task
// allocator, one loader and one registry, as the system DLLs provide them on Windows.
#pragma once

#include "tarvox_platform/com_interfaces.h"

#define TARVOX_PLATFORM_API __attribute__((visibility("default")))

extern "C" {

// Task allocator on the C heap. Blocks are counted so that tests can prove that nothing leaks.
TARVOX_PLATFORM_API void* CoTaskMemAlloc(std::size_t size);
TARVOX_PLATFORM_API void* CoTaskMemRealloc(void* block, std::size_t size);
TARVOX_PLATFORM_API void CoTaskMemFree(void* block);

// BSTR: OLECHARs preceded by their 32-bit byte length and followed by a NUL.
TARVOX_PLATFORM_API BSTR SysAllocString(const OLECHAR* text);
TARVOX_PLATFORM_API BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
TARVOX_PLATFORM_API UINT SysStringLen(BSTR text);
TARVOX_PLATFORM_API void SysFreeString(BSTR text);

// Code pages: CP_ACP is Windows-1252, CP_UTF8 is UTF-8. Flags are ignored.
TARVOX_PLATFORM_API int MultiByteToWideChar(UINT code_page, DWORD flags, LPCSTR text, int length,
                                            OLECHAR* wide, int wide_length);
TARVOX_PLATFORM_API int WideCharToMultiByte(UINT code_page, DWORD flags, const OLECHAR* wide, int length,
                                            LPSTR text, int text_length, LPCSTR default_char,
                                            BOOL* used_default);

// GUID text in registry form, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
TARVOX_PLATFORM_API int StringFromGUID2(REFGUID guid, LPOLESTR text, int length);
TARVOX_PLATFORM_API HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid);

// Loader. A bare name such as "quorix2.dll" (no '/') is looked up as "quorix2.so" in the folder
// of the running executable: the suffix ".dll" in any letter case becomes ".so". A name with a
// folder is opened as it stands.
TARVOX_PLATFORM_API HINSTANCE CoLoadLibrary(LPOLESTR name, BOOL auto_free);
TARVOX_PLATFORM_API HMODULE LoadLibraryA(LPCSTR name);
TARVOX_PLATFORM_API BOOL FreeLibrary(HMODULE module);
TARVOX_PLATFORM_API FARPROC GetProcAddress(HMODULE module, LPCSTR name);
TARVOX_PLATFORM_API DWORD GetModuleFileNameA(HMODULE module, LPSTR path, DWORD size);

// Module resources, looked up by (type, id) in the image of the module that owns the handle.
TARVOX_PLATFORM_API HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
TARVOX_PLATFORM_API HGLOBAL LoadResource(HMODULE module, HRSRC resource);
TARVOX_PLATFORM_API LPVOID LockResource(HGLOBAL resource);
TARVOX_PLATFORM_API DWORD SizeofResource(HMODULE module, HRSRC resource);

// Class creation through the registry store: the class's InprocServer32 library is loaded and
// asked for its class object, as the COM run time does for an in-process server.
TARVOX_PLATFORM_API HRESULT CLSIDFromProgID(LPCOLESTR prog_id, CLSID* clsid);
TARVOX_PLATFORM_API HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* server_info, REFIID riid,
                                             void** object);
TARVOX_PLATFORM_API HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid,
                                             void** object);
}

#define CLSCTX_INPROC_SERVER 0x1u

namespace tarvox_platform {

// Live task-allocator blocks and BSTRs of the whole process, for leak tests.
TARVOX_PLATFORM_API long LiveTaskBlocks();
TARVOX_PLATFORM_API long LiveBstrs();

}  // namespace tarvox_platform
