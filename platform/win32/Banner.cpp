#include "platform/win32/Banner.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstring>

#include "resources/resource.h"

// OleLoadPicture reads JPEG on every Windows since 98 and 2000 without GDI+,
// but only from a stream, so the resource is copied into a global block.
HBITMAP LoadBanner(HINSTANCE instance) {
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(IDR_BANNER), RT_RCDATA);
    if (!resource) return nullptr;
    const DWORD size = SizeofResource(instance, resource);
    const void* bytes = LockResource(LoadResource(instance, resource));
    HGLOBAL block = bytes ? GlobalAlloc(GMEM_MOVEABLE, size) : nullptr;
    if (!block) return nullptr;
    std::memcpy(GlobalLock(block), bytes, size);
    GlobalUnlock(block);

    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
        GlobalFree(block);
        return nullptr;
    }
    IPicture* picture = nullptr;
    HBITMAP copy = nullptr;
    if (SUCCEEDED(OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                 reinterpret_cast<void**>(&picture)))) {
        OLE_HANDLE handle = 0;
        // The picture owns its bitmap; keep a copy that outlives it, as a
        // DIB section: a device-dependent copy at 256 or 16 colours would be
        // reduced to the palette once, posterised, where drawing a DIB dithers.
        if (SUCCEEDED(picture->get_Handle(&handle)))
            copy = static_cast<HBITMAP>(CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        picture->Release();
    }
    stream->Release();
    return copy;
}
