#include "Logo.h"

#include <wincodec.h>

#include "platform/PlatformError.h"
#include "resource.h"

namespace quimbro::win32 {

namespace {

constexpr wchar_t kJpegType[] = L"JPEG";

void Check(HRESULT result, const char* what) {
    if (FAILED(result)) throw PlatformError(what);
}

struct Bytes {
    const BYTE* data;
    DWORD size;
};

// Resources live as long as the module; nothing is freed.
Bytes LogoResource(HINSTANCE instance) {
    const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(IDR_LOGO), kJpegType);
    if (found == nullptr) throw PlatformError("logo missing");
    const HGLOBAL loaded = LoadResource(instance, found);
    const DWORD size = SizeofResource(instance, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr || size == 0) throw PlatformError("logo unreadable");
    return {static_cast<const BYTE*>(data), size};
}

// A top-down 32-bit bitmap for GDI and the pixels to fill it through.
BitmapHandle EmptyBitmap(SIZE size, void** pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    *pixels = nullptr;
    BitmapHandle bitmap{CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, pixels, nullptr, 0)};
    if (!bitmap || *pixels == nullptr) throw PlatformError("no bitmap");
    return bitmap;
}

}  // namespace

BitmapHandle LoadLogo(HINSTANCE instance, SIZE size) {
    if (size.cx <= 0 || size.cy <= 0 || size.cx > 4096 || size.cy > 4096)
        throw PlatformError("logo size out of range");
    const Bytes jpeg = LogoResource(instance);

    // 1. The imaging factory of Windows 7 and later.
    ComPtr<IWICImagingFactory> factory;
    Check(CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER,
                           IID_IWICImagingFactory, factory.ReceiveVoid()),
          "no imaging factory");
    if (!factory) throw PlatformError("no imaging factory");

    // 2. The JPEG's first frame, straight from the resource's memory.
    ComPtr<IWICStream> stream;
    Check(factory->CreateStream(stream.Receive()), "no stream");
    if (!stream) throw PlatformError("no stream");
    Check(stream->InitializeFromMemory(const_cast<BYTE*>(jpeg.data), jpeg.size), "no stream");
    ComPtr<IWICBitmapDecoder> decoder;
    Check(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                           decoder.Receive()),
          "not a picture");
    if (!decoder) throw PlatformError("not a picture");
    ComPtr<IWICBitmapFrameDecode> frame;
    Check(decoder->GetFrame(0, frame.Receive()), "no frame");
    if (!frame) throw PlatformError("no frame");

    // 3. Scaled to the picture box and converted to what GDI shows.
    ComPtr<IWICBitmapScaler> scaler;
    Check(factory->CreateBitmapScaler(scaler.Receive()), "no scaler");
    if (!scaler) throw PlatformError("no scaler");
    Check(scaler->Initialize(frame.Get(), static_cast<UINT>(size.cx), static_cast<UINT>(size.cy),
                             WICBitmapInterpolationModeFant),
          "cannot scale");
    ComPtr<IWICFormatConverter> converter;
    Check(factory->CreateFormatConverter(converter.Receive()), "no converter");
    if (!converter) throw PlatformError("no converter");
    Check(converter->Initialize(scaler.Get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                nullptr, 0.0, WICBitmapPaletteTypeCustom),
          "cannot convert");

    // 4. Into a bitmap of our own.
    void* pixels = nullptr;
    BitmapHandle bitmap = EmptyBitmap(size, &pixels);
    const UINT stride = static_cast<UINT>(size.cx) * 4;
    const UINT bytes = stride * static_cast<UINT>(size.cy);
    Check(converter->CopyPixels(nullptr, stride, bytes, static_cast<BYTE*>(pixels)),
          "cannot copy pixels");
    return bitmap;
}

}  // namespace quimbro::win32
