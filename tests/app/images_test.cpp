// The program's pictures: drawn at every size, told apart, the list's result
// images the same as the results dialog's, and the program icon carried by
// the executable as the drawing code draws it.
#include "app/dialogs/Trel_resultsdialog.h"
#include "app/images/Trel_images.h"
#include "resources/trelvane_resources.h"
#include "tests/common/TestSupport.h"

#include <functional>
#include <memory>

namespace {

struct TPicture {
    std::string Name;
    std::function<TImagePixels(int size)> Paint;
};

std::vector<TPicture> AllPictures() {
    const char* const actionNames[] = {"New",     "Undo",      "Redo",           "Cut",        "Copy",
                                       "Paste",   "Add files", "Delete",         "Select all", "Free edit",
                                       "Move up", "Move down", "Perform rename", "Results"};
    const char* const rowNames[] = {"regular file", "directory", "None", "Succeeded", "Failed", "Skipped"};
    std::vector<TPicture> pictures;
    for (int i = 0; i < kActionImageCount; ++i)
        pictures.push_back(
            {actionNames[i], [i](int size) { return PaintActionImage(static_cast<TActionImage>(i), size); }});
    for (int i = 0; i < kRowImageCount; ++i)
        pictures.push_back(
            {rowNames[i], [i](int size) { return PaintRowImage(static_cast<TRowImage>(i), size); }});
    pictures.push_back({"program icon", PaintProgramIcon});
    return pictures;
}

int Alpha(std::uint32_t argb) {
    return static_cast<int>(argb >> 24);
}

// Whether every channel of the two pixels (alpha included) differs by at most
// the tolerance.
bool Near(std::uint32_t a, std::uint32_t b, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int difference = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (difference > tolerance || difference < -tolerance)
            return false;
    }
    return true;
}

// How many pixels of the two lists differ by more than the tolerance.
int Differing(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, int tolerance) {
    int differing = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        differing += !Near(a[i], b[i], tolerance);
    return differing + static_cast<int>(a.size() > b.size() ? a.size() - b.size() : b.size() - a.size());
}

// A 32-bit device-independent bitmap to draw on, filled with one colour.
class TDrawing {
public:
    TDrawing(int size, COLORREF background) : FSize(size), FDC(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = size;
        info.bmiHeader.biHeight = -size;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        FBitmap.Attach(
            CreateDIBSection(FDC, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&FBits), nullptr, 0));
        FOld = SelectObject(FDC, FBitmap.Get());
        for (int i = 0; i < size * size; ++i)
            FBits[i] = (GetRValue(background) << 16) | (GetGValue(background) << 8) | GetBValue(background);
    }
    TDrawing(const TDrawing&) = delete;
    TDrawing& operator=(const TDrawing&) = delete;
    ~TDrawing() {
        SelectObject(FDC, FOld);
        DeleteDC(FDC);
    }

    HDC DC() const { return FDC; }
    std::vector<std::uint32_t> Pixels() const {
        GdiFlush();
        std::vector<std::uint32_t> pixels(FBits, FBits + FSize * FSize);
        for (std::uint32_t& p : pixels)
            p &= 0xFFFFFF;
        return pixels;
    }

private:
    int FSize;
    HDC FDC;
    TBitmapHandle FBitmap;
    HGDIOBJ FOld = nullptr;
    std::uint32_t* FBits = nullptr;
};

struct TImageListDeleter {
    void operator()(_IMAGELIST* list) const { ImageList_Destroy(list); }
};
using TImageListPtr = std::unique_ptr<_IMAGELIST, TImageListDeleter>;

} // namespace

TEST(Images, EveryPictureIsDrawnAtEverySize) {
    for (const TPicture& picture : AllPictures()) {
        for (const int size : {16, 20, 24, 32, 48}) {
            SCOPED_TRACE(picture.Name + " at " + std::to_string(size));
            const TImagePixels pixels = picture.Paint(size);
            ASSERT_EQ(pixels.Size, size);
            ASSERT_EQ(pixels.Argb.size(), static_cast<size_t>(size * size));
            int opaque = 0;
            int clear = 0;
            for (const std::uint32_t p : pixels.Argb) {
                opaque += Alpha(p) == 255;
                clear += Alpha(p) == 0;
            }
            // Something to see, and room around it.
            EXPECT_GT(opaque, size * size / 10);
            EXPECT_GT(clear, 0);
        }
    }
}

TEST(Images, NoTwoPicturesAreAlike) {
    const std::vector<TPicture> pictures = AllPictures();
    for (size_t i = 0; i < pictures.size(); ++i)
        for (size_t j = i + 1; j < pictures.size(); ++j)
            EXPECT_NE(pictures[i].Paint(16).Argb, pictures[j].Paint(16).Argb)
                << pictures[i].Name << " and " << pictures[j].Name;
}

TEST(Images, MirroredPicturesAreExactMirrors) {
    const struct {
        TActionImage image;
        TActionImage mirror;
        bool upsideDown;
    } cases[] = {
        {TActionImage::Undo, TActionImage::Redo, false},
        {TActionImage::MoveUp, TActionImage::MoveDown, true},
    };
    for (const auto& c : cases) {
        for (const int size : {16, 20, 24}) {
            const TImagePixels image = PaintActionImage(c.image, size);
            const TImagePixels mirror = PaintActionImage(c.mirror, size);
            // Up to one sample in a pixel's sixteen, where a sample falls on an edge.
            int differ = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    differ +=
                        !Near(image.At(x, y),
                              c.upsideDown ? mirror.At(x, size - 1 - y) : mirror.At(size - 1 - x, y), 17);
            EXPECT_EQ(differ, 0) << static_cast<int>(c.image) << " at " << size;
        }
    }
}

TEST(Images, PicturesThatDoNotExistAreRefused) {
    const std::function<void()> calls[] = {
        [] { PaintActionImage(static_cast<TActionImage>(kActionImageCount), 16); },
        [] { PaintRowImage(static_cast<TRowImage>(kRowImageCount), 16); },
        [] { PaintResultImage(static_cast<TRenameItemResult>(4), 16); },
        [] { PaintActionImage(TActionImage::New, 0); },
    };
    for (const auto& call : calls)
        EXPECT_ERROR_MESSAGE(EInvalidOperation, call(), "The picture does not exist.");
}

TEST(Images, ImageListsHoldEveryPictureAtTheirSize) {
    for (const int size : {16, 20, 24}) {
        const TImageListPtr actions(CreateActionImageList(size));
        const TImageListPtr rows(CreateRowImageList(size));
        ASSERT_TRUE(actions && rows);
        EXPECT_EQ(ImageList_GetImageCount(actions.get()), kActionImageCount);
        EXPECT_EQ(ImageList_GetImageCount(rows.get()), kRowImageCount);
        int width = 0;
        int height = 0;
        ImageList_GetIconSize(rows.get(), &width, &height);
        EXPECT_EQ(width, size);
        EXPECT_EQ(height, size);
    }
}

// The list shows the results as the results dialog does: drawn over the same
// background, the row image and the dialog's icon leave the same pixels.
// Another picture would differ in most of them.
TEST(Images, ResultRowImagesLookLikeTheResultsDialogIcons) {
    const TImageListPtr rows(CreateRowImageList(kResultIconSize));
    ASSERT_TRUE(rows);
    for (const COLORREF background : {RGB(255, 255, 255), RGB(40, 40, 40)}) {
        for (int result = 0; result < 4; ++result) {
            SCOPED_TRACE(result);
            const TIconHandle icon = CreateResultIcon(static_cast<TRenameItemResult>(result));
            TDrawing dialogIcon(kResultIconSize, background);
            ASSERT_TRUE(DrawIconEx(dialogIcon.DC(), 0, 0, icon.Get(), kResultIconSize, kResultIconSize, 0,
                                   nullptr, DI_NORMAL));
            TDrawing rowImage(kResultIconSize, background);
            ASSERT_TRUE(ImageList_Draw(rows.get(), static_cast<int>(TRowImage::ResultNone) + result,
                                       rowImage.DC(), 0, 0, ILD_NORMAL));
            // The two ways of blending round the edge pixels apart by a shade.
            EXPECT_EQ(Differing(rowImage.Pixels(), dialogIcon.Pixels(), 8), 0);
        }
    }
}

TEST(Images, TheCommittedIconIsTheOneTheCodeDraws) {
    EXPECT_EQ(ReadFileText(TRELVANE_ICON_FILE), ProgramIconFile())
        << "draw it again: cmake --build build --target images";
}

TEST(Images, TheExecutableCarriesTheProgramIconAtEachSize) {
    for (const int size : kProgramIconSizes) {
        SCOPED_TRACE(size);
        const TIconHandle icon(static_cast<HICON>(LoadImageA(
            GetModuleHandleA(nullptr), MAKEINTRESOURCEA(TRELVANE_ICON), IMAGE_ICON, size, size, 0)));
        ASSERT_TRUE(icon);
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon.Get(), &info));
        const TBitmapHandle color(info.hbmColor);
        const TBitmapHandle mask(info.hbmMask);
        BITMAP bitmap = {};
        ASSERT_TRUE(GetObjectA(color.Get(), sizeof(bitmap), &bitmap));
        EXPECT_EQ(bitmap.bmWidth, size);
        EXPECT_EQ(bitmap.bmHeight, size);
    }
}
