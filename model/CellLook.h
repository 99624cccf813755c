// How a cell looks on the sheet beyond what its record (TXlsxCellAttr) keeps: the borders' weights,
// styles and colours, the alignment in full, wrapping, shrinking and the text's direction. Every
// source reports it; the sheet drawing style reads it, the classic style ignores it.
#pragma once

#include <array>
#include <cstdint>

namespace sheetlift {

// Excel's XlBorderWeight, in order of thickness.
enum class BorderWeight : std::uint8_t { Hair, Thin, Medium, Thick };

// Excel's XlLineStyle without its weight (a "medium dashed" line is Dash at Medium).
enum class BorderStyle : std::uint8_t {
    None,
    Continuous,
    Dash,
    Dot,
    DashDot,
    DashDotDot,
    SlantDashDot,
    Double,
};

// Colours as 0xRRGGBB; the automatic colour (black on the screen) is its own value.
inline constexpr std::uint32_t kAutomaticColor = 0xFF000000u;

struct BorderLook {
    BorderStyle style = BorderStyle::None;
    BorderWeight weight = BorderWeight::Thin;
    std::uint32_t color = kAutomaticColor;

    bool operator==(const BorderLook&) const = default;
};

// Excel's horizontal alignments in full (TXlsxCellAttr::txtAlign keeps only four of them).
enum class HorizontalLook : std::uint8_t {
    General,
    Left,
    Center,
    Right,
    Fill,
    Justify,
    CenterAcrossSelection,
    Distributed,
};

// Excel's vertical alignments; Bottom is Excel's default.
enum class VerticalLook : std::uint8_t { Top, Center, Bottom, Justify, Distributed };

// A text's direction as a workbook stores it: 0 to 90 degrees counter-clockwise, 91 to 180 for
// 1 to 90 degrees clockwise, kVerticalText for one character under the other.
inline constexpr std::uint8_t kVerticalText = 255;

struct CellLook {
    // In the order of BorderEdge: top, bottom, left, right, diagonal down, diagonal up.
    std::array<BorderLook, 6> borders{};
    HorizontalLook horizontal = HorizontalLook::General;
    VerticalLook vertical = VerticalLook::Bottom;
    bool wrap = false;
    bool shrink = false;
    std::uint8_t rotation = 0;

    bool operator==(const CellLook&) const = default;
};

} // namespace sheetlift
