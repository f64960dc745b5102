#include "Logo.h"

#include "platform/PlatformError.h"
#include "resource.h"

namespace quimbro::win32 {

namespace {

constexpr LONG kLargestSide = 4096;

struct DeleteDc {
    void operator()(HDC dc) const { ::DeleteDC(dc); }
};
using MemoryDc = Owner<HDC, DeleteDc>;

// A bitmap resource as GDI draws it: its header and colours, then its pixels.
struct PackedBitmap {
    const BITMAPINFO* info;
    const void* pixels;
};

// Resources live as long as the module; nothing is freed. The logo is an 8-bit bitmap, plain
// or run-length encoded, whose pixels lie within the resource.
PackedBitmap LogoResource(HINSTANCE instance) {
    const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(IDR_LOGO), RT_BITMAP);
    if (found == nullptr) throw PlatformError("logo missing");
    const HGLOBAL loaded = LoadResource(instance, found);
    const DWORD size = SizeofResource(instance, found);
    const auto* data = static_cast<const BYTE*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (data == nullptr || size < sizeof(BITMAPINFOHEADER)) throw PlatformError("logo unreadable");
    const auto& header = *reinterpret_cast<const BITMAPINFOHEADER*>(data);
    const DWORD colours = header.biClrUsed != 0 ? header.biClrUsed : 256;
    const bool encoded = header.biCompression == BI_RLE8;
    if (header.biSize < sizeof header || header.biBitCount != 8 || colours > 256 ||
        header.biWidth <= 0 || header.biWidth > kLargestSide || header.biHeight <= 0 ||
        header.biHeight > kLargestSide || (!encoded && header.biCompression != BI_RGB))
        throw PlatformError("logo not an 8-bit bitmap");
    const DWORD offset = header.biSize + colours * sizeof(RGBQUAD);
    const DWORD stride = (static_cast<DWORD>(header.biWidth) + 3) & ~DWORD{3};
    const DWORD pixels =
        encoded ? header.biSizeImage : stride * static_cast<DWORD>(header.biHeight);
    if (offset > size || pixels == 0 || pixels > size - offset)
        throw PlatformError("logo cut short");
    return {reinterpret_cast<const BITMAPINFO*>(data), data + offset};
}

// A top-down 32-bit bitmap for GDI to draw into.
BitmapHandle EmptyBitmap(SIZE size) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    BitmapHandle bitmap{CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0)};
    if (!bitmap || pixels == nullptr) throw PlatformError("no bitmap");
    return bitmap;
}

}  // namespace

BitmapHandle LoadLogo(HINSTANCE instance, SIZE size) {
    if (size.cx <= 0 || size.cy <= 0 || size.cx > kLargestSide || size.cy > kLargestSide)
        throw PlatformError("logo size out of range");
    const PackedBitmap logo = LogoResource(instance);
    BitmapHandle bitmap = EmptyBitmap(size);
    const MemoryDc dc{CreateCompatibleDC(nullptr)};
    if (!dc) throw PlatformError("no drawing context");
    const HGDIOBJ previous = SelectObject(dc.Get(), bitmap.Get());
    if (previous == nullptr || previous == HGDI_ERROR) throw PlatformError("bitmap not selected");
    // Halftone averages the source pixels under each target pixel, so the picture stays smooth
    // at any size; it needs the brush origin set after the mode.
    SetStretchBltMode(dc.Get(), HALFTONE);
    SetBrushOrgEx(dc.Get(), 0, 0, nullptr);
    const BITMAPINFOHEADER& header = logo.info->bmiHeader;
    const int lines =
        StretchDIBits(dc.Get(), 0, 0, size.cx, size.cy, 0, 0, header.biWidth, header.biHeight,
                      logo.pixels, logo.info, DIB_RGB_COLORS, SRCCOPY);
    SelectObject(dc.Get(), previous);
    if (lines <= 0) throw PlatformError("logo not drawn");
    return bitmap;
}

}  // namespace quimbro::win32
