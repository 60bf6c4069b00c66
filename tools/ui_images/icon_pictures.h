// The program's icons as shapes on a square 16 units a side, drawn at any
// size: each pixel is 8 x 8 samples, so edges stay smooth at 48 and 32
// pixels, and the main edges lie on whole units, so they stay sharp at 16.
// A shape is a signed distance (below 0 inside, in units); a layer fills
// its shape grown by `grow` units, which draws outlines as a darker layer
// under the same shape. Layers are laid first to last.
//   program (icon 127, and the notification area's 129): a blue dictionary
//     with a white letter A on its cover, its pages showing at the side and
//     foot, and a red bookmark;
//   editor (icon 157): a sheet with lines of text and a pencil across it.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace icon_pictures {

struct Point {
    double x, y;
};
struct Rgb {
    uint8_t r, g, b;
};
struct Rgba {
    uint8_t r, g, b, a;
};
using Shape = std::function<double(Point)>;

struct Layer {
    Shape shape;
    Rgb colour;
    double grow = 0;  // units added round the shape (an outline under it)
};

inline constexpr double kSide = 16;

inline Shape RoundBox(double x0, double y0, double x1, double y1, double radius) {
    return [=](Point p) {
        const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
        const double qx = std::abs(p.x - cx) - ((x1 - x0) / 2 - radius);
        const double qy = std::abs(p.y - cy) - ((y1 - y0) / 2 - radius);
        return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - radius;
    };
}

inline double SegmentDistance(Point p, Point a, Point b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

// A stroke from a to b with round ends, `width` units wide.
inline Shape Stroke(Point a, Point b, double width) {
    return [=](Point p) { return SegmentDistance(p, a, b) - width / 2; };
}

// A polygon (either winding): the distance to its nearest edge, negative inside.
inline Shape Polygon(std::vector<Point> corners) {
    return [corners](Point p) {
        double distance = 1e9;
        bool inside = false;
        for (size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
            const Point a = corners[j], b = corners[i];
            distance = std::min(distance, SegmentDistance(p, a, b));
            if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y)) inside = !inside;
        }
        return inside ? -distance : distance;
    };
}

inline Shape Union(Shape first, Shape second) {
    return [=](Point p) { return std::min(first(p), second(p)); };
}

inline std::vector<Layer> ProgramPicture() {
    const Rgb ink{0x1A, 0x24, 0x48}, cover{0x2A, 0x5C, 0xC8}, spine{0x1C, 0x3E, 0x92}, paper{0xFB, 0xF8, 0xEE},
        edge{0xB8, 0xB0, 0x9C}, white{0xFF, 0xFF, 0xFF}, ribbon{0xD8, 0x2A, 0x2A};
    const Shape pages = RoundBox(3, 2, 14.5, 15, 0.6);
    const Shape board = RoundBox(1.5, 1, 12.5, 14, 0.8);
    const Shape letter = Union(Union(Stroke({4.6, 11.2}, {7.6, 3.8}, 1.7), Stroke({7.6, 3.8}, {10.6, 11.2}, 1.7)),
                               Stroke({5.8, 8.8}, {9.4, 8.8}, 1.4));
    std::vector<Layer> layers = {
        {pages, ink, 0.55},
        {pages, paper},
        // The leaves' edges at the side and foot.
        {Stroke({13.4, 4}, {13.4, 13.6}, 0.35), edge},
        {Stroke({4.5, 14.2}, {13, 14.2}, 0.35), edge},
        {RoundBox(9.2, 13.5, 11.2, 15.6, 0.2), ink, 0.45},
        {Polygon({{9.2, 13.5}, {11.2, 13.5}, {11.2, 15.8}, {10.2, 14.9}, {9.2, 15.8}}), ribbon},
        {board, ink, 0.55},
        {board, cover},
        {RoundBox(1.5, 1, 3.6, 14, 0.8), spine},
        {letter, white},
    };
    return layers;
}

inline std::vector<Layer> EditorPicture() {
    const Rgb ink{0x30, 0x30, 0x38}, paper{0xFF, 0xFF, 0xFF}, fold{0xD8, 0xD8, 0xE0}, line{0x6C, 0x88, 0xB8},
        wood{0xF2, 0xC9, 0x8A}, body{0xF5, 0xB8, 0x1E}, band{0xB8, 0xB8, 0xC4}, eraser{0xF2, 0x8C, 0x9C},
        lead{0x30, 0x30, 0x30};
    const Shape sheet = Polygon({{2, 1}, {9.5, 1}, {13, 4.5}, {13, 15}, {2, 15}});
    // The pencil lies from its point (lower left) up to its eraser: a point
    // `along` units up its axis and `side` half-widths off it.
    const Point tip{5.6, 14.2};
    const double length = 12.4, half = 1.45;
    auto at = [&](double along, double side) {
        return Point{tip.x + along * 0.7071 + side * half * 0.7071, tip.y - along * 0.7071 + side * half * 0.7071};
    };
    auto piece = [&](double from, double to) { return Polygon({at(from, -1), at(to, -1), at(to, 1), at(from, 1)}); };
    const double cone = 3.2, bodyEnd = 9.6, bandEnd = 10.8;
    const Shape pencil = Union(Polygon({at(0, 0), at(cone, -1), at(cone, 1)}), Stroke(at(cone, 0), at(length, 0), 2 * half));
    return {
        {sheet, ink, 0.55},
        {sheet, paper},
        {Polygon({{9.5, 1}, {9.5, 4.5}, {13, 4.5}}), fold},
        {Stroke({4.2, 4.5}, {7.8, 4.5}, 1.1), line},
        {Stroke({4.2, 7.2}, {10.8, 7.2}, 1.1), line},
        {Stroke({4.2, 9.9}, {8.4, 9.9}, 1.1), line},
        {pencil, ink, 0.5},
        {Polygon({at(0, 0), at(cone, -1), at(cone, 1)}), wood},
        {Polygon({at(0, 0), at(cone * 0.4, -0.4), at(cone * 0.4, 0.4)}), lead},
        {piece(cone, bodyEnd), body},
        {piece(bodyEnd, bandEnd), band},
        {Union(piece(bandEnd, length), Stroke(at(bandEnd + half, 0), at(length, 0), 2 * half)), eraser},
    };
}

// The picture at `size` pixels a side, top row first, with straight alpha.
inline std::vector<Rgba> Draw(const std::vector<Layer>& layers, int size) {
    constexpr int kSamples = 8;
    std::vector<double> r(static_cast<size_t>(size) * size), g(r.size()), b(r.size()), a(r.size());
    const double unit = kSide / size;
    for (const Layer& layer : layers)
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                int in = 0;
                for (int sy = 0; sy < kSamples; ++sy)
                    for (int sx = 0; sx < kSamples; ++sx) {
                        const Point p{(x + (sx + 0.5) / kSamples) * unit, (y + (sy + 0.5) / kSamples) * unit};
                        if (layer.shape(p) < layer.grow) ++in;
                    }
                if (in == 0) continue;
                // "Over", premultiplied.
                const double cover = static_cast<double>(in) / (kSamples * kSamples);
                const size_t i = static_cast<size_t>(y) * size + x;
                r[i] = layer.colour.r * cover + r[i] * (1 - cover);
                g[i] = layer.colour.g * cover + g[i] * (1 - cover);
                b[i] = layer.colour.b * cover + b[i] * (1 - cover);
                a[i] = cover + a[i] * (1 - cover);
            }
    std::vector<Rgba> pixels(r.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (a[i] <= 0) continue;
        auto channel = [&](double premultiplied) {
            return static_cast<uint8_t>(std::clamp(std::lround(premultiplied / a[i]), 0L, 255L));
        };
        pixels[i] = {channel(r[i]), channel(g[i]), channel(b[i]), static_cast<uint8_t>(std::lround(a[i] * 255))};
    }
    return pixels;
}

}  // namespace icon_pictures
