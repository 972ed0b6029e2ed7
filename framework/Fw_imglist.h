// Image lists: square images with transparency, at the size that the
// resolution of the window that shows them asks for.
#pragma once

#include "framework/Fw_classes.h"
#include "framework/Fw_handles.h"

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <vector>

// Draws image `index` of a set on a device context whose size x size pixels
// start as TransparentColor; what keeps that colour stays transparent.
using TImageDrawEvent = std::function<void(HDC dc, int size, int index)>;
// Adds images of size x size pixels to a system image list.
using TImageListFill = std::function<void(HIMAGELIST list, int size)>;

class TImageList : public TObject {
public:
    // The colour of a drawn image's transparent pixels.
    static constexpr COLORREF TransparentColor = RGB(255, 0, 255);
    // The resolution of the design size.
    static constexpr int DesignPixelsPerInch = 96;

    // designSize pixels at 96 pixels per inch: 16 gives 20 at 120 and 24 at 144.
    explicit TImageList(int designSize = 16);
    ~TImageList() override;

    HIMAGELIST Handle() const { return FHandle.Get(); }
    // The images' width and height in pixels.
    int Size() const { return FSize; }
    int Count() const;
    int PixelsPerInch() const { return FPixelsPerInch; }
    // Makes the images anew at the size of the resolution: the handle
    // changes, so the controls that show the list take the new one.
    void SetPixelsPerInch(int pixelsPerInch);

    // Each Add returns the index of its first image. The images are made
    // again from the same sources when the size changes.

    // A bitmap resource: a strip of square images side by side, 32 bits with
    // alpha or 24 bits, scaled smoothly when its height is not the size. With
    // count > 0 the strip must hold that many. A missing or unfit bitmap is
    // drawn by the fallback, count images; without one it throws
    // EInvalidOperation.
    int AddResourceBitmap(HINSTANCE instance, int id, int count = 0, TImageDrawEvent fallback = nullptr);
    // An icon resource, at the size or scaled from the nearest one.
    int AddResourceIcon(HINSTANCE instance, int id);
    // A copy of the icon, scaled to the size.
    int AddIcon(HICON icon);
    // count images drawn at the size.
    int AddDrawn(int count, TImageDrawEvent draw);
    // Whatever the fill adds.
    int AddImages(TImageListFill fill);
    // Removes every image and every source.
    void Clear();

private:
    using TSource = std::function<void()>;
    int AddSource(TSource source);
    void Create();
    void AddPixels(const std::vector<DWORD>& pixels, int count);
    void AddBitmapStrip(HBITMAP bitmap, int count);
    void AddDrawnImages(int count, const TImageDrawEvent& draw);

    int FDesignSize;
    int FPixelsPerInch = DesignPixelsPerInch;
    int FSize;
    TImageListHandle FHandle;
    std::vector<TSource> FSources;
};
