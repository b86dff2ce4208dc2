// The main dialog's resize rule: given the new client size and each control's current rectangle
// (client coordinates), where each control goes. The rule reads only values it never changes,
// so the same size always gives the same placement.
#pragma once

#include <array>
#include <cstddef>

struct LayoutRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

struct LayoutBox {
    int left = 0, top = 0, width = 0, height = 0;
};

// The controls the rule moves, in the order they are moved.
constexpr std::size_t kLayoutControls = 16;
extern const std::array<int, kLayoutControls> kLayoutOrder;

// Widths and heights that would fall below zero count as zero.
std::array<LayoutBox, kLayoutControls> PlaceControls(
    int cx, int cy, const std::array<LayoutRect, kLayoutControls>& current);
