// Shell items: files opened by parsing name, their document properties read
// through the shell, all behind one flat entry.
#include <zuvuvur/afx/afx.h>
#include <zuvuvur/shell.h>

#include <algorithm>
#include <climits>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <functional>
#include <new>

#include "kxplatform.h"

namespace {

enum : int {
    SHELL_OK = 0,
    SHELL_ERR_NO_MANAGER_MEMORY = 15050,
    SHELL_ERR_COM_INIT = 15051,
    SHELL_ERR_NO_ITEM_MEMORY = 15052,
    SHELL_ERR_CREATE = 15053,
    SHELL_ERR_HANDLE = 15054,
    SHELL_ERR_OPERATION = 15055,
    SHELL_ERR_PROPERTY = 15056,
    SHELL_ERR_GET_STRING = 15057,
    SHELL_ERR_GET_UINT32 = 15058,
    SHELL_ERR_GET_BOOL = 15059,
    SHELL_ERR_GET_FILETIME = 15060,
    SHELL_ERR_NOT_FOUND = 15061,
};

struct ShellProperty {
    unsigned int id;
    kxp::PROPERTYKEY key;
};

constexpr ShellProperty kShellProperties[SHELL_PROP_COUNT + 1] = {
    {SHELL_PROP_TITLE, kxp::PKEY_Title},
    {SHELL_PROP_SUBTITLE, kxp::PKEY_Media_SubTitle},
    {SHELL_PROP_RATING, kxp::PKEY_Rating},
    {SHELL_PROP_COMMENT, kxp::PKEY_Comment},
    {SHELL_PROP_DATE_CREATED, kxp::PKEY_DateCreated},
    {SHELL_PROP_DATE_MODIFIED, kxp::PKEY_DateModified},
    {SHELL_PROP_COUNT, {}},
};

constexpr std::size_t kNameCapacity = 1024;  // wide characters, terminator included

// One open item: both interfaces of the same shell object, one reference each.
class CKxShellItem {
  public:
    CKxShellItem() = default;
    CKxShellItem(const CKxShellItem&) = delete;
    CKxShellItem& operator=(const CKxShellItem&) = delete;
    ~CKxShellItem() { Close(); }

    // Releases the IShellItem2 first, then the IShellItem it came from.
    void Close() {
        if (m_pItem2) {
            m_pItem2->Release();
            m_pItem2 = nullptr;
        }
        if (m_pItem) {
            m_pItem->Release();
            m_pItem = nullptr;
        }
    }

    bool Open(const char* name) {
        Close();
        if (!name) return false;
        wchar_t wide[kNameCapacity];
        std::setlocale(LC_ALL, "");
        std::size_t length = std::mbstowcs(wide, name, kNameCapacity);
        std::setlocale(LC_ALL, "C");
        // A name that fills the whole buffer was cut and is left unterminated,
        // so it is refused like one that does not convert.
        if (length == static_cast<std::size_t>(-1) || length >= kNameCapacity) return false;

        kxp::ModuleHandle shell = kxp::load_module(kxp::SHELL_MODULE_NAME);
        auto create = reinterpret_cast<kxp::PFN_SHCreateItemFromParsingName>(
            kxp::find_symbol(shell, "SHCreateItemFromParsingName"));
        if (!create) return false;
        if (kxp::FAILED(
                create(wide, nullptr, kxp::IID_IShellItem, reinterpret_cast<void**>(&m_pItem))) ||
            kxp::FAILED(m_pItem->QueryInterface(kxp::IID_IShellItem2,
                                                reinterpret_cast<void**>(&m_pItem2)))) {
            Close();
            return false;
        }
        return true;
    }

    kxp::IShellItem2* Item2() const { return m_pItem2; }

  private:
    kxp::IShellItem* m_pItem = nullptr;
    kxp::IShellItem2* m_pItem2 = nullptr;
};

// The table of open items, which owns them. Made on the first create and
// kept for the rest of the process.
class CKxShellItemManager {
  public:
    CKxShellItemManager() noexcept
        : m_bComInitialized(kxp::SUCCEEDED(kxp::CoInitializeEx(
              nullptr, kxp::COINIT_APARTMENTTHREADED | kxp::COINIT_DISABLE_OLE1DDE))) {}

    bool ComInitialized() const { return m_bComInitialized; }

    // The item in slot handle - 1, or null for 0, a handle beyond the table
    // or an empty slot.
    CKxShellItem* Find(unsigned int handle) const {
        if (handle == 0 || handle > static_cast<std::uint64_t>(m_items.GetSize())) return nullptr;
        return m_items[handle - 1];
    }

    // Puts the item in the lowest empty slot, or a new one at the end, and
    // answers its handle. May throw the memory exception, leaving the table
    // as it was and the item the caller's.
    unsigned int Place(CKxShellItem* item) {
        if (m_emptyCount > 0) {
            unsigned int* heap = m_emptySlots.GetData();
            std::pop_heap(heap, heap + m_emptyCount, std::greater<>());
            unsigned int slot = heap[--m_emptyCount];
            m_items[slot] = item;
            return slot + 1;
        }
        INT_PTR size = m_items.GetSize();
        // Room for every slot in the heap is made while the table grows, so
        // a release never has to allocate.
        m_emptySlots.SetSize(size + 1);
        m_items.Add(item);
        return static_cast<unsigned int>(size + 1);
    }

    // Destroys the item of a valid handle and empties its slot.
    void Remove(unsigned int handle) {
        unsigned int slot = handle - 1;
        delete m_items[slot];
        m_items[slot] = nullptr;
        unsigned int* heap = m_emptySlots.GetData();
        heap[m_emptyCount++] = slot;
        std::push_heap(heap, heap + m_emptyCount, std::greater<>());
    }

  private:
    bool m_bComInitialized;
    CArray<CKxShellItem*, CKxShellItem*> m_items;
    // The empty slots as a min-heap in the first m_emptyCount elements, so
    // the lowest is found without scanning the table: many creates stay
    // linear however many items are open.
    CArray<unsigned int, unsigned int> m_emptySlots;
    INT_PTR m_emptyCount = 0;
};

CKxShellItemManager* g_pShellItemManager = nullptr;

int CreateItem(unsigned int* handle, const char* name) {
    if (!handle) return SHELL_ERR_CREATE;  // nowhere to put the handle: do nothing at all
    if (!g_pShellItemManager) {
        auto* manager = new (std::nothrow) CKxShellItemManager;
        if (!manager) return SHELL_ERR_NO_MANAGER_MEMORY;
        if (!manager->ComInitialized()) {
            delete manager;
            return SHELL_ERR_COM_INIT;
        }
        g_pShellItemManager = manager;
    }
    auto* item = new (std::nothrow) CKxShellItem;
    if (!item) return SHELL_ERR_NO_ITEM_MEMORY;
    if (!item->Open(name)) {
        delete item;
        return SHELL_ERR_CREATE;
    }
    try {
        *handle = g_pShellItemManager->Place(item);
    } catch (...) {
        delete item;  // the exception goes on to the host; the open item must not stay behind
        throw;
    }
    return SHELL_OK;
}

int ReleaseItem(unsigned int handle) {
    if (!g_pShellItemManager->Find(handle)) return SHELL_ERR_HANDLE;
    g_pShellItemManager->Remove(handle);
    return SHELL_OK;
}

// wcstombs is the road when the whole text fits. It neither terminates a
// result it had to cut nor tells how far it got when a character has no
// narrow form, so those texts are finished a character at a time.
void CopyNarrow(const wchar_t* text, char* out, int size) {
    if (size <= 0) return;
    auto room = static_cast<std::size_t>(size);
    std::size_t needed = std::wcstombs(nullptr, text, 0);
    if (needed != static_cast<std::size_t>(-1) && needed < room) {
        std::wcstombs(out, text, room);
        return;
    }
    std::mbstate_t state{};
    std::size_t used = 0;
    char piece[MB_LEN_MAX];
    for (const wchar_t* p = text; *p; ++p) {
        std::size_t n = std::wcrtomb(piece, *p, &state);
        if (n == static_cast<std::size_t>(-1)) {
            piece[0] = '?';
            n = 1;
            state = std::mbstate_t{};
        }
        if (used + n >= room) break;
        std::memcpy(out + used, piece, n);
        used += n;
    }
    out[used] = '\0';
}

int QueryItem(const CKxShellItem& item, unsigned int operation, std::uint32_t index, void* output,
              int size) {
    if (index >= SHELL_PROP_COUNT) return SHELL_ERR_PROPERTY;
    kxp::PROPERTYKEY key = kShellProperties[index].key;
    kxp::IShellItem2* shell = item.Item2();
    kxp::HRESULT hr = kxp::S_OK;
    wchar_t* text = nullptr;
    int failure = 0;
    switch (operation) {
        case 2:
            failure = SHELL_ERR_GET_BOOL;
            hr = shell->GetBool(key, static_cast<kxp::BOOL*>(output));
            break;
        case 3:
            failure = SHELL_ERR_GET_FILETIME;
            hr = shell->GetFileTime(key, static_cast<kxp::FILETIME*>(output));
            break;
        case 4:
            failure = SHELL_ERR_GET_STRING;
            if (!output) return failure;
            hr = shell->GetString(key, &text);
            break;
        default:
            failure = SHELL_ERR_GET_UINT32;
            hr = shell->GetUInt32(key, static_cast<kxp::ULONG*>(output));
            break;
    }
    if (kxp::FAILED(hr)) {
        kxp::CoTaskMemFree(text);
        return hr == kxp::HRESULT_ERROR_NOT_FOUND ? SHELL_ERR_NOT_FOUND : failure;
    }
    if (text) {
        CopyNarrow(text, static_cast<char*>(output), size);
        kxp::CoTaskMemFree(text);
    }
    return SHELL_OK;
}

}  // namespace

int kxu_shell_item(unsigned int* handle, unsigned int operation, INT_PTR nameOrIndex, void* output,
                   int size) {
    if (operation == 0) return CreateItem(handle, reinterpret_cast<const char*>(nameOrIndex));
    if (!g_pShellItemManager || !handle) return SHELL_ERR_HANDLE;
    if (operation == 1) return ReleaseItem(*handle);
    const CKxShellItem* item = g_pShellItemManager->Find(*handle);
    if (!item) return SHELL_ERR_HANDLE;
    if (operation > 5) return SHELL_ERR_OPERATION;
    return QueryItem(*item, operation, static_cast<std::uint32_t>(nameOrIndex), output, size);
}
