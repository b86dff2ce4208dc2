#include "ui/Layout.h"

#include "res/resource.h"

#ifndef IDCANCEL
#define IDCANCEL 2  // the close button; the system defines it on Windows
#endif

const std::array<int, kLayoutControls> kLayoutOrder = {IDC_FILES_GROUP,
                                                       IDC_FILE_LIST,
                                                       IDC_MAKE_GROUP,
                                                       IDC_MAKE_DATE_CHECK,
                                                       IDC_MAKE_DATE,
                                                       IDC_MAKE_TIME_CHECK,
                                                       IDC_MAKE_TIME,
                                                       IDC_MODIFY_GROUP,
                                                       IDC_MODIFY_DATE_CHECK,
                                                       IDC_MODIFY_DATE,
                                                       IDC_MODIFY_TIME_CHECK,
                                                       IDC_MODIFY_TIME,
                                                       IDC_COPY_TO_MODIFY,
                                                       IDC_RUN,
                                                       IDCANCEL,
                                                       IDC_WEB_LINK};

namespace {

int NotBelowZero(int value) { return value < 0 ? 0 : value; }

// How one control's new place is made from the client size; "keep" is the current value.
struct Rule {
    enum Left { kKeepLeft, kButtons, kLink } left;
    enum Top { kKeepTop, kFromBottom, kFixed } top;
    int topValue;      // pixels above the bottom edge, or the fixed top
    bool stretch;      // width cx - 2 * left
    int heightMargin;  // when stretching: height cy - top - margin
};

const Rule kRules[kLayoutControls] = {
    {Rule::kKeepLeft, Rule::kKeepTop, 0, true, 87},      // files group
    {Rule::kKeepLeft, Rule::kKeepTop, 0, true, 100},     // file list
    {Rule::kKeepLeft, Rule::kFromBottom, 81, false, 0},  // creation group
    {Rule::kKeepLeft, Rule::kFromBottom, 57, false, 0},
    {Rule::kKeepLeft, Rule::kFromBottom, 62, false, 0},
    {Rule::kKeepLeft, Rule::kFromBottom, 37, false, 0},
    {Rule::kKeepLeft, Rule::kFromBottom, 42, false, 0},
    {Rule::kKeepLeft, Rule::kFromBottom, 81, false, 0},  // modification group
    {Rule::kKeepLeft, Rule::kFromBottom, 57, false, 0},
    {Rule::kKeepLeft, Rule::kFromBottom, 62, false, 0},
    {Rule::kKeepLeft, Rule::kFromBottom, 37, false, 0},
    {Rule::kKeepLeft, Rule::kFromBottom, 42, false, 0},
    {Rule::kKeepLeft, Rule::kFromBottom, 56, false, 0},  // arrow button
    {Rule::kButtons, Rule::kFromBottom, 64, false, 0},   // Run
    {Rule::kButtons, Rule::kFromBottom, 39, false, 0},   // close
    {Rule::kLink, Rule::kFixed, 4, false, 0},            // web link
};

}  // namespace

std::array<LayoutBox, kLayoutControls> PlaceControls(
    int cx, int cy, const std::array<LayoutRect, kLayoutControls>& current) {
    std::array<LayoutBox, kLayoutControls> placed{};
    for (std::size_t i = 0; i < kLayoutControls; ++i) {
        const Rule& rule = kRules[i];
        const LayoutRect& r = current[i];
        LayoutBox& box = placed[i];
        switch (rule.left) {
            case Rule::kKeepLeft:
                box.left = r.left;
                break;
            case Rule::kButtons:
                box.left = cx > 480 ? cx - 110 : 370;
                break;
            case Rule::kLink:
                box.left = cx > 420 ? cx - 150 : 270;
                break;
        }
        switch (rule.top) {
            case Rule::kKeepTop:
                box.top = r.top;
                break;
            case Rule::kFromBottom:
                box.top = cy - rule.topValue;
                break;
            case Rule::kFixed:
                box.top = rule.topValue;
                break;
        }
        if (rule.stretch) {
            box.width = NotBelowZero(cx - 2 * r.left);
            box.height = NotBelowZero(cy - r.top - rule.heightMargin);
        } else {
            box.width = NotBelowZero(r.right - r.left);
            box.height = NotBelowZero(r.bottom - r.top);
        }
    }
    return placed;
}
