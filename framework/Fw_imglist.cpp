#include "framework/Fw_imglist.h"

#include "framework/Fw_scope.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// Pixels are 0xAARRGGBB, rows top-down, as a 32-bit top-down DIB holds them.
constexpr DWORD AlphaOf(DWORD pixel) {
    return pixel >> 24;
}

BITMAPINFO StripInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A 32-bit top-down section with its pixels, or a null handle.
TBitmapHandle CreateSection(int width, int height, void*& bits) {
    BITMAPINFO info = StripInfo(width, height);
    bits = nullptr;
    return TBitmapHandle(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
}

[[noreturn]] void ImageError() {
    throw EInvalidOperation("The program could not make an image.");
}

// The pixels of a bitmap of any depth as 32 bits. A bitmap without alpha
// (24 bits, or 32 with every alpha zero) is opaque but where it has the
// transparent colour.
bool ReadPixels(HBITMAP bitmap, int& width, int& height, std::vector<DWORD>& pixels) {
    BITMAP header{};
    if (!GetObjectA(bitmap, sizeof(header), &header) || header.bmWidth <= 0 || header.bmHeight <= 0)
        return false;
    width = header.bmWidth;
    height = header.bmHeight;
    pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    BITMAPINFO info = StripInfo(width, height);
    TScreenDC screen;
    if (GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) !=
        height)
        return false;
    const bool hasAlpha = header.bmBitsPixel == 32 &&
                          std::any_of(pixels.begin(), pixels.end(), [](DWORD p) { return AlphaOf(p) != 0; });
    if (!hasAlpha) {
        const DWORD key = RGB(GetBValue(TImageList::TransparentColor), GetGValue(TImageList::TransparentColor),
                              GetRValue(TImageList::TransparentColor));
        for (DWORD& p : pixels)
            p = (p & 0xFFFFFF) == key ? 0 : (p | 0xFF000000);
    }
    return true;
}

// Scales a strip of count square images of side `from` to side `to`: each
// target pixel averages a grid of samples, weighted by their alpha.
std::vector<DWORD> ScaleStrip(const std::vector<DWORD>& source, int from, int count, int to) {
    if (from == to)
        return source;
    std::vector<DWORD> target(static_cast<size_t>(to) * static_cast<size_t>(to * count));
    const int samples = from / to + 2;
    const int sourceWidth = from * count;
    for (int image = 0; image < count; ++image)
        for (int y = 0; y < to; ++y)
            for (int x = 0; x < to; ++x) {
                double sum[3] = {0, 0, 0};
                double alpha = 0;
                for (int sy = 0; sy < samples; ++sy)
                    for (int sx = 0; sx < samples; ++sx) {
                        const int fx = std::min(from - 1, static_cast<int>((x + (sx + 0.5) / samples) * from / to));
                        const int fy = std::min(from - 1, static_cast<int>((y + (sy + 0.5) / samples) * from / to));
                        const DWORD p = source[static_cast<size_t>(fy) * sourceWidth + image * from + fx];
                        const double a = AlphaOf(p);
                        for (int c = 0; c < 3; ++c)
                            sum[c] += a * ((p >> (8 * c)) & 0xFF);
                        alpha += a;
                    }
                DWORD pixel = 0;
                if (alpha > 0) {
                    for (int c = 0; c < 3; ++c)
                        pixel |= static_cast<DWORD>(sum[c] / alpha + 0.5) << (8 * c);
                    pixel |= static_cast<DWORD>(alpha / (samples * samples) + 0.5) << 24;
                }
                target[static_cast<size_t>(y) * to * count + image * to + x] = pixel;
            }
    return target;
}

} // namespace

TImageList::TImageList(int designSize) : FDesignSize(designSize), FSize(designSize) {
    Create();
}

TImageList::~TImageList() = default;

int TImageList::Count() const {
    return ImageList_GetImageCount(Handle());
}

void TImageList::Create() {
    FHandle.Attach(ImageList_Create(FSize, FSize, ILC_COLOR32 | ILC_MASK, 0, 8));
    if (!FHandle)
        ImageError();
}

void TImageList::SetPixelsPerInch(int pixelsPerInch) {
    if (pixelsPerInch <= 0 || pixelsPerInch == FPixelsPerInch)
        return;
    FPixelsPerInch = pixelsPerInch;
    FSize = MulDiv(FDesignSize, pixelsPerInch, DesignPixelsPerInch);
    Create();
    for (const TSource& source : FSources)
        source();
}

int TImageList::AddSource(TSource source) {
    const int first = Count();
    source();
    FSources.push_back(std::move(source));
    return first;
}

void TImageList::Clear() {
    ImageList_RemoveAll(Handle());
    FSources.clear();
}

void TImageList::AddPixels(const std::vector<DWORD>& pixels, int count) {
    const int width = FSize * count;
    void* bits = nullptr;
    TBitmapHandle image = CreateSection(width, FSize, bits);
    if (!image)
        ImageError();
    auto* target = static_cast<DWORD*>(bits);
    // The mask is set where the image is transparent; the image is black
    // there, as masked drawing needs.
    const int maskStride = ((width + 15) / 16) * 2;
    std::vector<BYTE> maskBits(static_cast<size_t>(maskStride) * FSize, 0);
    for (int y = 0; y < FSize; ++y)
        for (int x = 0; x < width; ++x) {
            const DWORD p = pixels[static_cast<size_t>(y) * width + x];
            const bool transparent = AlphaOf(p) < 0x80;
            target[static_cast<size_t>(y) * width + x] = AlphaOf(p) == 0 ? 0 : p;
            if (transparent)
                maskBits[static_cast<size_t>(y) * maskStride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
        }
    TBitmapHandle mask(CreateBitmap(width, FSize, 1, 1, maskBits.data()));
    if (!mask || ImageList_Add(Handle(), image.Get(), mask.Get()) < 0)
        ImageError();
}

void TImageList::AddBitmapStrip(HBITMAP bitmap, int count) {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;
    if (!ReadPixels(bitmap, width, height, pixels))
        ImageError();
    AddPixels(ScaleStrip(pixels, height, count, FSize), count);
}

int TImageList::AddResourceBitmap(HINSTANCE instance, int id, int count, TImageDrawEvent fallback) {
    return AddSource([this, instance, id, count, fallback] {
        TBitmapHandle bitmap(static_cast<HBITMAP>(
            LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        BITMAP header{};
        const bool fit = bitmap && GetObjectA(bitmap.Get(), sizeof(header), &header) && header.bmHeight > 0 &&
                         header.bmWidth % header.bmHeight == 0 &&
                         (count <= 0 || header.bmWidth / header.bmHeight == count);
        if (fit) {
            AddBitmapStrip(bitmap.Get(), header.bmWidth / header.bmHeight);
            return;
        }
        if (!fallback || count <= 0)
            throw EInvalidOperation(Format("The program could not load the image %d.", id));
        // Drawn in its place, with the same number of images.
        AddDrawnImages(count, fallback);
    });
}

void TImageList::AddDrawnImages(int count, const TImageDrawEvent& draw) {
    std::vector<DWORD> pixels(static_cast<size_t>(FSize) * FSize * count);
    void* bits = nullptr;
    TBitmapHandle canvas = CreateSection(FSize, FSize, bits);
    TDCHandle dc(CreateCompatibleDC(nullptr));
    if (!canvas || !dc)
        ImageError();
    HGDIOBJ old = SelectObject(dc.Get(), canvas.Get());
    auto restore = ScopeExit([&] { SelectObject(dc.Get(), old); });
    const DWORD key = RGB(GetBValue(TransparentColor), GetGValue(TransparentColor), GetRValue(TransparentColor));
    auto* canvasPixels = static_cast<DWORD*>(bits);
    for (int index = 0; index < count; ++index) {
        std::fill(canvasPixels, canvasPixels + FSize * FSize, key);
        draw(dc.Get(), FSize, index);
        GdiFlush();
        for (int y = 0; y < FSize; ++y)
            for (int x = 0; x < FSize; ++x) {
                const DWORD p = canvasPixels[y * FSize + x] & 0xFFFFFF;
                pixels[static_cast<size_t>(y) * FSize * count + index * FSize + x] = p == key ? 0 : (p | 0xFF000000);
            }
    }
    AddPixels(pixels, count);
}

int TImageList::AddDrawn(int count, TImageDrawEvent draw) {
    if (count <= 0 || !draw)
        throw EInvalidOperation("The program could not make an image.");
    return AddSource([this, count, draw] { AddDrawnImages(count, draw); });
}

int TImageList::AddResourceIcon(HINSTANCE instance, int id) {
    return AddSource([this, instance, id] {
        TIconHandle icon(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, FSize, FSize, 0)));
        if (!icon || ImageList_AddIcon(Handle(), icon.Get()) < 0)
            throw EInvalidOperation(Format("The program could not load the image %d.", id));
    });
}

int TImageList::AddIcon(HICON icon) {
    auto copy = std::make_shared<TIconHandle>(CopyIcon(icon));
    if (!*copy)
        ImageError();
    return AddSource([this, copy] {
        if (ImageList_AddIcon(Handle(), copy->Get()) < 0)
            ImageError();
    });
}

int TImageList::AddImages(TImageListFill fill) {
    return AddSource([this, fill] { fill(Handle(), FSize); });
}
