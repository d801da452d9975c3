// The shared image lists at every density: each list exists in 16, 24 and 32-pixel cells, drawn
// at its own size, and the nearest size is chosen for a density.
#include "common/UiResources.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>

namespace {

class UiImagesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        InitCommonControls();
        ASSERT_TRUE(SharedUi().Init(GetModuleHandleA(nullptr)));
    }
    static void TearDownTestSuite() { SharedUi().Release(); }
};

// The pixels of image `index` drawn transparently over green at (0, 0) of a 40 x 40 area that
// are not green: the picture's own pixels.
struct Drawn {
    int inked = 0;       // pixels of the picture
    int right = 0;       // the rightmost column holding one, plus one
    int bottom = 0;      // the lowest row holding one, plus one
    int outsideCell = 0; // pixels of the picture outside the cell
};

Drawn DrawOverGreen(HIMAGELIST images, int index, int cell) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 40, 40);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, 40, 40};
    HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ImageList_Draw(images, index, dc, 0, 0, ILD_TRANSPARENT);
    Drawn d;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            if (GetPixel(dc, x, y) == RGB(0, 255, 0))
                continue;
            ++d.inked;
            d.right = std::max(d.right, x + 1);
            d.bottom = std::max(d.bottom, y + 1);
            if (x >= cell || y >= cell)
                ++d.outsideCell;
        }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return d;
}

// Every image of the list of `size` fills its cell about as its 16-pixel picture fills its own.
void ExpectDrawnAtItsSize(HIMAGELIST small, HIMAGELIST list, int size, const char* what) {
    ASSERT_NE(list, nullptr) << what << " " << size;
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    EXPECT_EQ(cx, size) << what;
    EXPECT_EQ(cy, size) << what;
    ASSERT_EQ(ImageList_GetImageCount(list), ImageList_GetImageCount(small)) << what;
    for (int i = 0; i < ImageList_GetImageCount(list); ++i) {
        const Drawn at16 = DrawOverGreen(small, i, 16);
        const Drawn big = DrawOverGreen(list, i, size);
        EXPECT_EQ(big.outsideCell, 0) << what << " image " << i;
        // Not a small picture in a big cell: it reaches as far into its cell, and covers
        // about the area scaled (within a fifth).
        EXPECT_GE(big.right, at16.right * size / 16 - 1) << what << " image " << i;
        EXPECT_GE(big.bottom, at16.bottom * size / 16 - 1) << what << " image " << i;
        const double area = at16.inked * (size / 16.0) * (size / 16.0);
        EXPECT_NEAR(big.inked, area, area / 5) << what << " image " << i;
        EXPECT_LT(big.inked, size * size) << what << " image " << i; // transparent around
    }
}

} // namespace

TEST(UiImageSizeTest, TheNearestSizeIsChosenForADensity) {
    EXPECT_EQ(CUiResources::ImageSizeFor(96), 16);
    EXPECT_EQ(CUiResources::ImageSizeFor(0), 16);
    EXPECT_EQ(CUiResources::ImageSizeFor(110), 16);
    EXPECT_EQ(CUiResources::ImageSizeFor(120), 16); // 20: as near to 16 as to 24
    EXPECT_EQ(CUiResources::ImageSizeFor(130), 24);
    EXPECT_EQ(CUiResources::ImageSizeFor(144), 24);
    EXPECT_EQ(CUiResources::ImageSizeFor(168), 24); // 28: as near to 24 as to 32
    EXPECT_EQ(CUiResources::ImageSizeFor(180), 32);
    EXPECT_EQ(CUiResources::ImageSizeFor(192), 32);
    EXPECT_EQ(CUiResources::ImageSizeFor(288), 32);
}

TEST_F(UiImagesTest, EveryListComesIn16And24And32PixelCells) {
    CUiResources& ui = SharedUi();
    EXPECT_EQ(ui.Images(16), ui.m_images);
    EXPECT_EQ(ui.DocImages(16), ui.m_docImages);
    EXPECT_EQ(ui.Images(20), nullptr); // only the sizes drawn
    for (int size : {24, 32}) {
        ExpectDrawnAtItsSize(ui.m_images, ui.Images(size), size, "shared");
        ExpectDrawnAtItsSize(ui.m_docImages, ui.DocImages(size), size, "document");
    }
}

TEST_F(UiImagesTest, EachSizeIsKeptOnceLoaded) {
    CUiResources& ui = SharedUi();
    HIMAGELIST at24 = ui.Images(24);
    HIMAGELIST at32 = ui.Images(32);
    ASSERT_NE(at24, nullptr);
    EXPECT_EQ(ui.Images(24), at24);
    EXPECT_EQ(ui.Images(32), at32);
    EXPECT_NE(at24, at32);
    EXPECT_EQ(ui.Images(CUiResources::ImageSizeFor(144)), at24);
    EXPECT_EQ(ui.DocImages(CUiResources::ImageSizeFor(192)), ui.DocImages(32));
}
