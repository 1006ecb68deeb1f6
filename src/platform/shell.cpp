// The shell module: file items with their document properties, made by
// SHCreateItemFromParsingName. This file is built into "shell32.dll" on
// systems without a shell of their own (kxcom.h states the contracts and
// where each property comes from); the file-system work of each system is in
// its .inc at the end.
#include <atomic>
#include <new>
#include <string>
#include <type_traits>

#include "kxplatform.h"

#if defined(_WIN32)
#define KXSHELL_API __declspec(dllexport)
#else
#define KXSHELL_API __attribute__((visibility("default")))
#endif

namespace kxp {
namespace {

// ---- What the backend provides ----------------------------------------------
// None of these throws: running out of memory answers E_OUTOFMEMORY.

// The absolute path of the existing file or directory `name` names.
HRESULT ResolveParsingName(PCWSTR name, std::string& path);
// The raw value of an extended attribute; HRESULT_ERROR_NOT_FOUND when the
// file has none of that name.
HRESULT ReadAttribute(const std::string& path, const char* attribute, std::string& value);
// The modification time, or the birth time when `birth` is set.
HRESULT ReadTime(const std::string& path, bool birth, FILETIME& value);
// A CoTaskMemAlloc'ed wide copy of UTF-8 text (malformed bytes read as U+FFFD).
HRESULT WideFromUtf8(const std::string& text, PWSTR* out);

// ---- The property table ------------------------------------------------------

enum class Kind { String, Rating, Time, Bool };

struct Property {
    const PROPERTYKEY* key;
    Kind kind;
    const char* attribute;  // for String and Rating
    bool birth;             // for Time: birth rather than modification time
};

constexpr Property kProperties[] = {
    {&PKEY_Title, Kind::String, "user.dublincore.title", false},
    {&PKEY_Media_SubTitle, Kind::String, "user.dublincore.alternative", false},
    {&PKEY_Comment, Kind::String, "user.xdg.comment", false},
    {&PKEY_Rating, Kind::Rating, "user.baloo.rating", false},
    {&PKEY_DateCreated, Kind::Time, nullptr, true},
    {&PKEY_DateModified, Kind::Time, nullptr, false},
};

const Property* FindProperty(REFPROPERTYKEY key) {
    for (const Property& p : kProperties)
        if (p.key->pid == key.pid && IsEqualGUID(p.key->fmtid, key.fmtid)) return &p;
    return nullptr;
}

// A stored rating of 0 to 10 half stars on the 0 to 99 scale, rounded.
HRESULT ParseRating(const std::string& text, ULONG& rating) {
    auto space = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\0';
    };
    std::size_t begin = 0, end = text.size();
    while (begin < end && space(text[begin])) ++begin;
    while (end > begin && space(text[end - 1])) --end;
    if (begin == end || end - begin > 2) return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
    ULONG stars = 0;
    for (std::size_t i = begin; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
        stars = stars * 10 + static_cast<ULONG>(text[i] - '0');
    }
    if (stars > 10) return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
    rating = (stars * 99 + 5) / 10;
    return S_OK;
}

// ---- The item ----------------------------------------------------------------

class FileItem final : public IShellItem2 {
  public:
    explicit FileItem(std::string path) : path_(std::move(path)) {}

    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IShellItem) ||
            IsEqualGUID(riid, IID_IShellItem2)) {
            // One object, one vtable: every interface is the same pointer.
            *object = static_cast<IShellItem2*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
    ULONG Release() override {
        ULONG left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) delete this;
        return left;
    }

    HRESULT GetFileTime(REFPROPERTYKEY key, FILETIME* value) override {
        if (!value) return E_POINTER;
        FILETIME time{};
        HRESULT hr = Locate(key, Kind::Time, nullptr, &time);
        if (FAILED(hr)) return hr;
        *value = time;
        return S_OK;
    }
    HRESULT GetString(REFPROPERTYKEY key, PWSTR* value) override {
        if (!value) return E_POINTER;
        *value = nullptr;
        std::string raw;
        HRESULT hr = Locate(key, Kind::String, &raw, nullptr);
        if (FAILED(hr)) return hr;
        return WideFromUtf8(raw, value);
    }
    HRESULT GetUInt32(REFPROPERTYKEY key, ULONG* value) override {
        if (!value) return E_POINTER;
        std::string raw;
        HRESULT hr = Locate(key, Kind::Rating, &raw, nullptr);
        if (FAILED(hr)) return hr;
        ULONG rating = 0;
        hr = ParseRating(raw, rating);
        if (SUCCEEDED(hr)) *value = rating;
        return hr;
    }
    HRESULT GetBool(REFPROPERTYKEY key, BOOL* value) override {
        if (!value) return E_POINTER;
        return Locate(key, Kind::Bool, nullptr, nullptr);  // no property here is a boolean
    }

  private:
    ~FileItem() = default;

    // Reads the stored form of `key`. Whether the file carries the property
    // is settled before its type, so a missing property is "not found"
    // whatever the caller asked it as.
    HRESULT Locate(REFPROPERTYKEY key, Kind wanted, std::string* raw, FILETIME* time) const {
        const Property* p = FindProperty(key);
        if (!p) return HRESULT_ERROR_NOT_FOUND;
        std::string scratch;
        FILETIME stamp{};
        HRESULT hr = p->kind == Kind::Time ? ReadTime(path_, p->birth, stamp)
                                           : ReadAttribute(path_, p->attribute, scratch);
        if (FAILED(hr)) return hr;
        if (p->kind != wanted) return TYPE_E_TYPEMISMATCH;
        if (raw) *raw = std::move(scratch);
        if (time) *time = stamp;
        return S_OK;
    }

    std::atomic<ULONG> refs_{1};
    std::string path_;
};

HRESULT CreateItem(PCWSTR name, REFIID riid, void** object) {
    APTTYPE apartment{};
    if (FAILED(CoGetApartmentType(&apartment))) return CO_E_NOTINITIALIZED;
    if (!name || !*name) return E_INVALIDARG;
    std::string path;
    HRESULT hr = ResolveParsingName(name, path);
    if (FAILED(hr)) return hr;
    auto* item = new (std::nothrow) FileItem(std::move(path));
    if (!item) return E_OUTOFMEMORY;
    hr = item->QueryInterface(riid, object);
    item->Release();  // the interface asked for holds the item, or nothing does
    return hr;
}

}  // namespace
}  // namespace kxp

extern "C" KXSHELL_API kxp::HRESULT SHCreateItemFromParsingName(kxp::PCWSTR name,
                                                                kxp::IBindCtx* /*bindContext*/,
                                                                kxp::REFIID riid, void** object) {
    if (!object) return kxp::E_POINTER;
    *object = nullptr;
    return kxp::CreateItem(name, riid, object);
}

static_assert(
    std::is_same_v<decltype(&SHCreateItemFromParsingName), kxp::PFN_SHCreateItemFromParsingName>);

// Windows has a shell of its own, so this module is built elsewhere only.
#if !defined(_WIN32)
#include "posix/shell.inc"
#endif
