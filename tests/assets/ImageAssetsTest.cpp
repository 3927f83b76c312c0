#include "assets/Assets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

struct Rgba {
    int r, g, b, a;
};

template <int Edge>
Rgba pixelAt(const ImageBlob<Edge> &image, int column, int row) {
    const std::uint8_t *p = &image.pixels[(row * Edge + column) * 4];
    return Rgba{p[0], p[1], p[2], p[3]};
}

template <int Edge>
std::array<double, 3> averageColour(const ImageBlob<Edge> &image) {
    std::array<double, 3> sum{0, 0, 0};
    for (int i = 0; i < Edge * Edge; ++i) {
        for (int c = 0; c < 3; ++c) {
            sum[c] += image.pixels[i * 4 + c];
        }
    }
    for (double &channel : sum) {
        channel /= Edge * Edge;
    }
    return sum;
}

template <int Edge>
bool opaque(const ImageBlob<Edge> &image) {
    for (int i = 0; i < Edge * Edge; ++i) {
        if (image.pixels[i * 4 + 3] != 255) {
            return false;
        }
    }
    return true;
}

void expectAverageNear(const std::array<double, 3> &average, const std::array<double, 3> &wanted, double slack) {
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(average[c], wanted[c], slack) << "channel " << c;
    }
}

TEST(ImageAssets, EachBlobStoresItsOwnEdgeLength) {
    EXPECT_EQ(dotImage.edge, 16);
    EXPECT_EQ(nebulaImage.edge, 256);
    EXPECT_EQ(sheetImage.edge, 256);
    EXPECT_EQ(fontImage.edge, 256);
    EXPECT_EQ(pictureImage.edge, 256);
    EXPECT_EQ(circuitImage.edge, 256);
}

TEST(DotImage, IsWhiteWithAlphaFallingFromTheCentrePixel) {
    const int wanted[] = {255, 233, 203, 167, 127, 88, 51, 21};
    for (int distance = 0; distance < 8; ++distance) {
        const Rgba samples[] = {pixelAt(dotImage, 8 + distance, 8), pixelAt(dotImage, 8 - distance, 8),
                                pixelAt(dotImage, 8, 8 + distance), pixelAt(dotImage, 8, 8 - distance)};
        for (const Rgba &sample : samples) {
            EXPECT_NEAR(sample.a, wanted[distance], distance == 0 ? 0 : 8) << "distance " << distance;
        }
    }
    struct Sample {
        double distance;
        int alpha;
    };
    std::vector<Sample> samples;
    for (int row = 0; row < 16; ++row) {
        for (int column = 0; column < 16; ++column) {
            const Rgba p = pixelAt(dotImage, column, row);
            EXPECT_EQ(p.r, 255);
            EXPECT_EQ(p.g, 255);
            EXPECT_EQ(p.b, 255);
            const double distance = std::hypot(column - 8, row - 8);
            if (distance >= 8) {
                EXPECT_EQ(p.a, 0) << "column " << column << " row " << row;
            }
            samples.push_back(Sample{distance, p.a});
        }
    }
    std::sort(samples.begin(), samples.end(), [](const Sample &a, const Sample &b) { return a.distance < b.distance; });
    for (std::size_t i = 1; i < samples.size(); ++i) {
        EXPECT_LE(samples[i].alpha, samples[i - 1].alpha) << "alpha rises at distance " << samples[i].distance;
    }
}

TEST(OpaqueImages, HaveFullAlphaAndTheirAverageColour) {
    EXPECT_TRUE(opaque(nebulaImage));
    EXPECT_TRUE(opaque(pictureImage));
    EXPECT_TRUE(opaque(circuitImage));
    expectAverageNear(averageColour(nebulaImage), {12, 0, 18}, 6);
    expectAverageNear(averageColour(pictureImage), {241, 242, 203}, 8);
}

TEST(SheetImage, IsGreyWithAlphaRisingWithDarkness) {
    std::array<int, 256> lowestAlpha;
    std::array<int, 256> highestAlpha;
    lowestAlpha.fill(256);
    highestAlpha.fill(-1);
    for (int row = 0; row < 256; ++row) {
        for (int column = 0; column < 256; ++column) {
            const Rgba p = pixelAt(sheetImage, column, row);
            ASSERT_EQ(p.r, p.g);
            ASSERT_EQ(p.g, p.b);
            if (p.a == 0) {
                ASSERT_EQ(p.r, 255) << "transparent pixel that is not white at " << column << ", " << row;
            }
            lowestAlpha[p.r] = std::min(lowestAlpha[p.r], p.a);
            highestAlpha[p.r] = std::max(highestAlpha[p.r], p.a);
        }
    }
    EXPECT_EQ(highestAlpha[0], 255) << "black strokes are opaque";
    int previousLowest = 256;  // alpha of the next darker grey seen so far
    for (int grey = 0; grey < 256; ++grey) {
        if (highestAlpha[grey] < 0) {
            continue;
        }
        EXPECT_LE(highestAlpha[grey], previousLowest) << "grey " << grey << " is more opaque than a darker grey";
        previousLowest = lowestAlpha[grey];
    }
}

TEST(SheetImage, InkFillsExactlyTheBandRowsWithinColumns8To247) {
    const int bands[][2] = {{0, 26}, {29, 57}, {67, 90}, {96, 122}, {128, 158}, {163, 189}, {192, 211}, {212, 238}};
    std::array<bool, 256> bandRow{};
    for (const auto &band : bands) {
        for (int row = band[0]; row <= band[1]; ++row) {
            bandRow[row] = true;
        }
    }
    int leftmost = 256, rightmost = -1;
    for (int row = 0; row < 256; ++row) {
        bool inked = false;
        for (int column = 0; column < 256; ++column) {
            if (pixelAt(sheetImage, column, row).a > 0) {
                inked = true;
                leftmost = std::min(leftmost, column);
                rightmost = std::max(rightmost, column);
            }
        }
        EXPECT_EQ(inked, bandRow[row]) << "row " << row;
    }
    EXPECT_EQ(leftmost, 8);
    EXPECT_EQ(rightmost, 247);
}

struct GlyphBox {
    int code, x, y, w, h;
};

std::vector<GlyphBox> glyphBoxes() {
    std::vector<GlyphBox> boxes;
    for (const std::uint8_t *record = glyphTable.records; record[0] != 0; record += 5) {
        boxes.push_back(GlyphBox{record[0], record[1], record[2], record[3], record[4]});
    }
    return boxes;
}

int inkInBox(const GlyphBox &box) {
    int inked = 0;
    for (int row = box.y; row < box.y + box.h; ++row) {
        for (int column = box.x; column < box.x + box.w; ++column) {
            inked += pixelAt(fontImage, column, row).a > 0;
        }
    }
    return inked;
}

double inkCentreRow(const GlyphBox &box) {
    double rows = 0, weight = 0;
    for (int row = box.y; row < box.y + box.h; ++row) {
        for (int column = box.x; column < box.x + box.w; ++column) {
            const int alpha = pixelAt(fontImage, column, row).a;
            rows += row * alpha;
            weight += alpha;
        }
    }
    return rows / weight;
}

TEST(FontImage, IsBlackWithInkInEveryGlyphBoxAndNowhereElse) {
    const std::vector<GlyphBox> boxes = glyphBoxes();
    ASSERT_EQ(boxes.size(), 89u);
    for (const GlyphBox &box : boxes) {
        EXPECT_GT(inkInBox(box), 0) << "no ink for code " << box.code;
    }
    for (int row = 0; row < 256; ++row) {
        for (int column = 0; column < 256; ++column) {
            const Rgba p = pixelAt(fontImage, column, row);
            ASSERT_EQ(p.r + p.g + p.b, 0) << "pixel " << column << ", " << row << " is not black";
            if (row == 248 || row == 249) {
                EXPECT_EQ(p.a, 255) << "gap in the line at column " << column;
                continue;
            }
            const bool inABox = std::any_of(boxes.begin(), boxes.end(), [&](const GlyphBox &box) {
                return column >= box.x && column < box.x + box.w && row >= box.y && row < box.y + box.h;
            });
            if (!inABox) {
                EXPECT_EQ(p.a, 0) << "stray ink at " << column << ", " << row;
            }
        }
    }
}

TEST(FontImage, UnderscoreBoxHoldsAMidHeightBarAndSpaceBoxABaselineBar) {
    const std::vector<GlyphBox> boxes = glyphBoxes();
    const auto boxOf = [&](int code) {
        return *std::find_if(boxes.begin(), boxes.end(), [code](const GlyphBox &box) { return box.code == code; });
    };
    const GlyphBox underscore = boxOf('_'), space = boxOf(' '), fullStop = boxOf('.'), x = boxOf('x');
    // The full stop sits on the baseline and the x fills the x-height, all in
    // or near the same row of boxes; the bars are placed against them.
    EXPECT_LT(inkCentreRow(underscore) - underscore.y, inkCentreRow(fullStop) - fullStop.y - 3);
    EXPECT_GT(inkCentreRow(underscore) - underscore.y, inkCentreRow(x) - x.y - 5);
    EXPECT_GT(inkCentreRow(space) - space.y, inkCentreRow(fullStop) - fullStop.y - 2);
    EXPECT_GT(inkInBox(space), inkInBox(underscore)) << "the space's bar is the longer one";
}

double meanStep(const ImageBlob<256> &image, int fromColumn, int fromRow, int toColumn, int toRow, int count,
                bool alongRows) {
    double sum = 0;
    for (int i = 0; i < count; ++i) {
        const Rgba a = alongRows ? pixelAt(image, fromColumn, i) : pixelAt(image, i, fromRow);
        const Rgba b = alongRows ? pixelAt(image, toColumn, i) : pixelAt(image, i, toRow);
        sum += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
    }
    return sum / count;
}

TEST(CircuitImage, TilesSeamlesslyBothWays) {
    // Across the wrap-around seam the picture may change no more than it does
    // between neighbouring columns or rows inside it.
    double insideColumns = 0, insideRows = 0;
    for (int i = 0; i < 255; ++i) {
        insideColumns += meanStep(circuitImage, i, 0, i + 1, 0, 256, true);
        insideRows += meanStep(circuitImage, 0, i, 0, i + 1, 256, false);
    }
    insideColumns /= 255;
    insideRows /= 255;
    EXPECT_LE(meanStep(circuitImage, 255, 0, 0, 0, 256, true), insideColumns);
    EXPECT_LE(meanStep(circuitImage, 0, 255, 0, 0, 256, false), insideRows);
}

TEST(CircuitImage, HasARoadDownTheMiddleAndARedBarAcross) {
    int yellowRows = 0;
    for (int row = 0; row < 256; ++row) {
        const Rgba side = pixelAt(circuitImage, 116, row);
        const Rgba middle = pixelAt(circuitImage, 128, row);
        if (row < 110 || row > 146) {
            EXPECT_LT(side.r + side.g + side.b, 30) << "road not black at row " << row;
            yellowRows += middle.r > 200 && middle.g > 170 && middle.b < 90;
        }
    }
    EXPECT_GT(yellowRows, 40) << "dashes down the road";
    EXPECT_LT(yellowRows, 200) << "dashes, not a solid line";
    const Rgba bar = pixelAt(circuitImage, 40, 128);
    EXPECT_GT(bar.r, 150);
    EXPECT_LT(bar.g + bar.b, 100);
    const Rgba outline = pixelAt(circuitImage, 40, 115);
    EXPECT_GT(outline.b, 150);
    const std::array<double, 3> average = averageColour(circuitImage);
    EXPECT_GT(average[1], average[0]) << "the board is green";
    EXPECT_GT(average[1], average[2]);
}

}  // namespace
