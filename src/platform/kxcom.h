// COM and shell items in kxplatform: the part of COM the library leans on
// (apartments, the task allocator, interfaces found by identifier) and the
// shell's file items with their document properties.
//
//     kxp::CoInitializeEx(nullptr, kxp::COINIT_APARTMENTTHREADED);   // S_OK, then S_FALSE
//     auto* create = reinterpret_cast<kxp::PFN_SHCreateItemFromParsingName>(
//         kxp::find_symbol(kxp::load_module("shell32.dll"), "SHCreateItemFromParsingName"));
//     kxp::IShellItem2* item = nullptr;
//     create(L"/data/report.txt", nullptr, kxp::IID_IShellItem2, reinterpret_cast<void**>(&item));
//     wchar_t* title = nullptr;
//     if (item->GetString(kxp::PKEY_Title, &title) == kxp::S_OK) kxp::CoTaskMemFree(title);
//     item->Release();
//
// Types keep the Windows layouts (GUID is 16 bytes, PROPERTYKEY 20, FILETIME
// 8), and the interfaces keep the Windows vtables, every slot in the order
// Windows declares them: on Windows the objects behind them are the system's
// own, called through these declarations. The slots the library never calls
// answer E_NOTIMPL unless an implementation overrides them. Wide text is
// wchar_t: UTF-16 on Windows, UTF-32 here, as the C runtime's mbstowcs and
// wcstombs produce and read it.
//
// On Windows every function below is the system's (ole32, shell32); nothing
// of the emulation described next is built there.
//
// Apartments. Each thread's apartment is its own (thread_local), as in COM:
// the first CoInitializeEx of a thread answers S_OK and fixes the model,
// further calls with the same model answer S_FALSE, a call with the other
// model answers RPC_E_CHANGED_MODE. Every successful call is balanced by one
// CoUninitialize; the thread leaves its apartment when the count reaches 0.
//
// Shell items on POSIX. There is no system shell, so the shell is a module
// of this project: "shell32.dll", built beside the executables and installed
// in the library's module folder, which exports SHCreateItemFromParsingName.
// It is found by name at run time (load_module's search of a bare name: the
// executable's folder, then the library's module folder), so a program that
// finds it in neither has no shell, just as a system without the shell's
// library would. The factory wants a thread inside an apartment
// (CO_E_NOTINITIALIZED otherwise). A parsing name is a path to an existing
// file or directory, absolute or relative to the current directory when the
// item is made, its components separated by '/' or by backslashes as in the
// file functions (\tmp\x.txt is /tmp/x.txt); the item keeps the absolute
// path and reads the properties afresh at each query. The wide name is turned
// into the file system's bytes under the user's default locale (LC_CTYPE from
// the environment), the inverse of the conversion a caller makes with
// mbstowcs there.
//
// Where the properties come from:
//   PKEY_Title            the extended attribute user.dublincore.title (string)
//   PKEY_Media_SubTitle   user.dublincore.alternative, Dublin Core's
//                         "alternative title" of a resource (string)
//   PKEY_Comment          user.xdg.comment (string)
//   PKEY_Rating           user.baloo.rating, 0 to 10 half stars, mapped
//                         linearly onto 0 to 99: a stored n reads as
//                         round(n * 99 / 10), so 0 -> 0, 5 -> 50, 10 -> 99
//   PKEY_DateCreated      the birth time from statx (file time)
//   PKEY_DateModified     the modification time (file time)
// Attribute values are UTF-8; bytes that are not are read as U+FFFD. File
// times count 100-nanosecond intervals since 1601-01-01 00:00 UTC.
//
// Results of the Get methods, in the order they are checked:
//   E_POINTER                  a null output pointer
//   HRESULT_ERROR_NOT_FOUND    the item does not carry the property: the
//                              attribute is absent, the file system keeps no
//                              birth time, or the key is none of the six
//   the file's own error       the file has gone or cannot be read
//                              (HRESULT_FROM_WIN32 of the nearest Win32 code)
//   TYPE_E_TYPEMISMATCH        the property is not of the type asked for:
//                              strings read only with GetString, the rating
//                              only with GetUInt32, times only with
//                              GetFileTime; none of the six is a boolean
//   ERROR_INVALID_DATA's HRESULT  a rating that is not a whole number 0..10,
//                              or a time before 1601
#pragma once

#include <cstddef>
#include <cstdint>

#include "kxplatform_api.h"

// The system's headers make S_OK, FAILED and friends macros, which would
// rewrite the declarations below.
#if defined(S_OK)
#error "include kxplatform.h before the system's headers"
#endif

namespace kxp {

// ---- Basic types ------------------------------------------------------------

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;
using BOOL = std::int32_t;
using WCHAR = wchar_t;
using PCWSTR = const WCHAR*;
using PWSTR = WCHAR*;

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
using IID = GUID;
using REFIID = const IID&;
static_assert(sizeof(GUID) == 16);

constexpr bool IsEqualGUID(const GUID& a, const GUID& b) noexcept {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}

struct PROPERTYKEY {
    GUID fmtid;
    DWORD pid;
};
using REFPROPERTYKEY = const PROPERTYKEY&;
static_assert(sizeof(PROPERTYKEY) == 20);

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
static_assert(sizeof(FILETIME) == 8);

// ---- Results ----------------------------------------------------------------

constexpr bool SUCCEEDED(HRESULT hr) noexcept { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) noexcept { return hr < 0; }
constexpr HRESULT HRESULT_FROM_WIN32(DWORD error) noexcept {
    return error == 0 ? 0 : static_cast<HRESULT>((error & 0xFFFFu) | 0x80070000u);
}

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT RPC_E_CHANGED_MODE = static_cast<HRESULT>(0x80010106u);
inline constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0u);
inline constexpr HRESULT TYPE_E_TYPEMISMATCH = static_cast<HRESULT>(0x80028CA0u);

inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_DATA = 13;
inline constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
inline constexpr DWORD ERROR_NO_UNICODE_TRANSLATION = 1113;
inline constexpr DWORD ERROR_NOT_FOUND = 1168;
// 0x80070490: the answer for a property the item does not carry.
inline constexpr HRESULT HRESULT_ERROR_NOT_FOUND = HRESULT_FROM_WIN32(ERROR_NOT_FOUND);

// ---- Apartments and the task allocator -----------------------------------------

inline constexpr DWORD COINIT_MULTITHREADED = 0x0;
inline constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;
inline constexpr DWORD COINIT_DISABLE_OLE1DDE = 0x4;
inline constexpr DWORD COINIT_SPEED_OVER_MEMORY = 0x8;

enum APTTYPE : int { APTTYPE_CURRENT = -1, APTTYPE_STA = 0, APTTYPE_MTA = 1 };

// Enters the calling thread into an apartment: S_OK the first time, S_FALSE
// when it is already in one of this model, RPC_E_CHANGED_MODE when it is in
// the other. `reserved` must be null and `coinit` hold only the COINIT_ bits
// (E_INVALIDARG otherwise).
KXPLATFORM_API HRESULT CoInitializeEx(void* reserved, DWORD coinit) noexcept;
// Balances one successful CoInitializeEx of the calling thread.
KXPLATFORM_API void CoUninitialize() noexcept;
// The calling thread's apartment: S_OK with its type, or CO_E_NOTINITIALIZED.
KXPLATFORM_API HRESULT CoGetApartmentType(APTTYPE* type) noexcept;
// The allocator for memory that crosses an interface: what one side
// allocates, the other frees. CoTaskMemFree(nullptr) does nothing.
KXPLATFORM_API void* CoTaskMemAlloc(std::size_t bytes) noexcept;
KXPLATFORM_API void CoTaskMemFree(void* block) noexcept;

// ---- Interfaces ------------------------------------------------------------------

// Objects are reference counted; each interface pointer handed out holds one
// reference, which its holder gives back with Release.
struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

  protected:
    ~IUnknown() = default;
};

struct IBindCtx;  // bind contexts are not used here; callers pass null
struct PROPVARIANT;

// The shell object itself; what it tells is read through IShellItem2.
struct IShellItem : IUnknown {
    virtual HRESULT BindToHandler(IBindCtx*, const GUID&, REFIID, void**) { return E_NOTIMPL; }
    virtual HRESULT GetParent(IShellItem**) { return E_NOTIMPL; }
    virtual HRESULT GetDisplayName(int /*SIGDN*/, PWSTR*) { return E_NOTIMPL; }
    virtual HRESULT GetAttributes(ULONG, ULONG*) { return E_NOTIMPL; }
    virtual HRESULT Compare(IShellItem*, DWORD, int*) { return E_NOTIMPL; }

  protected:
    ~IShellItem() = default;
};

struct IShellItem2 : IShellItem {
    virtual HRESULT GetPropertyStore(int /*flags*/, REFIID, void**) { return E_NOTIMPL; }
    virtual HRESULT GetPropertyStoreWithCreateObject(int, IUnknown*, REFIID, void**) {
        return E_NOTIMPL;
    }
    virtual HRESULT GetPropertyStoreForKeys(const PROPERTYKEY*, unsigned int, int, REFIID, void**) {
        return E_NOTIMPL;
    }
    virtual HRESULT GetPropertyDescriptionList(REFPROPERTYKEY, REFIID, void**) { return E_NOTIMPL; }
    virtual HRESULT Update(IBindCtx*) { return E_NOTIMPL; }
    virtual HRESULT GetProperty(REFPROPERTYKEY, PROPVARIANT*) { return E_NOTIMPL; }
    virtual HRESULT GetCLSID(REFPROPERTYKEY, GUID*) { return E_NOTIMPL; }
    virtual HRESULT GetFileTime(REFPROPERTYKEY key, FILETIME* value) = 0;
    virtual HRESULT GetInt32(REFPROPERTYKEY, int*) { return E_NOTIMPL; }
    // The value as a CoTaskMemAlloc'ed string, which the caller frees.
    virtual HRESULT GetString(REFPROPERTYKEY key, PWSTR* value) = 0;
    virtual HRESULT GetUInt32(REFPROPERTYKEY key, ULONG* value) = 0;
    virtual HRESULT GetUInt64(REFPROPERTYKEY, std::uint64_t*) { return E_NOTIMPL; }
    virtual HRESULT GetBool(REFPROPERTYKEY key, BOOL* value) = 0;

  protected:
    ~IShellItem2() = default;
};

inline constexpr IID IID_IUnknown{
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IShellItem{
    0x43826D1E, 0xE718, 0x42EE, {0xBC, 0x55, 0xA1, 0xE2, 0x61, 0xC3, 0x7B, 0xFE}};
inline constexpr IID IID_IShellItem2{
    0x7E9FB0D3, 0x919F, 0x4307, {0xAB, 0x2E, 0x9B, 0x18, 0x60, 0x31, 0x0C, 0x93}};

// ---- Property keys -------------------------------------------------------------

inline constexpr PROPERTYKEY PKEY_Title{
    {0xF29F85E0, 0x4FF9, 0x1068, {0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9}}, 2};
inline constexpr PROPERTYKEY PKEY_Media_SubTitle{
    {0x56A3372E, 0xCE9C, 0x11D2, {0x9F, 0x0E, 0x00, 0x60, 0x97, 0xC6, 0x86, 0xF6}}, 38};
inline constexpr PROPERTYKEY PKEY_Rating{
    {0x64440492, 0x4C8B, 0x11D1, {0x8B, 0x70, 0x08, 0x00, 0x36, 0xB1, 0x1A, 0x03}}, 9};
inline constexpr PROPERTYKEY PKEY_Comment{
    {0xF29F85E0, 0x4FF9, 0x1068, {0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9}}, 6};
inline constexpr PROPERTYKEY PKEY_DateCreated{
    {0xB725F130, 0x47EF, 0x101A, {0xA5, 0xF1, 0x02, 0x60, 0x8C, 0x9E, 0xEB, 0xAC}}, 15};
inline constexpr PROPERTYKEY PKEY_DateModified{
    {0xB725F130, 0x47EF, 0x101A, {0xA5, 0xF1, 0x02, 0x60, 0x8C, 0x9E, 0xEB, 0xAC}}, 14};

// ---- The shell's factory -------------------------------------------------------

// Found at run time: load_module(SHELL_MODULE_NAME), then find_symbol of
// "SHCreateItemFromParsingName". Makes an item from a parsing name and
// answers the interface `riid` of it in *object (null on failure):
// E_POINTER for a null `object`, E_INVALIDARG for a null or empty name,
// CO_E_NOTINITIALIZED outside an apartment, the HRESULT of
// ERROR_FILE_NOT_FOUND / ERROR_PATH_NOT_FOUND / ERROR_ACCESS_DENIED when the
// name is no existing file or directory, ERROR_NO_UNICODE_TRANSLATION's when
// it has no form in the file system's encoding, E_NOINTERFACE for an
// interface the item lacks. `bindContext` is ignored.
using PFN_SHCreateItemFromParsingName = HRESULT (*)(PCWSTR name, IBindCtx* bindContext, REFIID riid,
                                                    void** object);
inline constexpr const char* SHELL_MODULE_NAME = "shell32.dll";

}  // namespace kxp
