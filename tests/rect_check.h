// The one check of a rectangle the tests use: its edges against the edges
// expected, any of which may be left out; a failure shows both rectangles.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <limits.h>

#include <string>

// An edge that the check does not look at.
const LONG kAnyEdge = LONG_MIN;

inline ::testing::AssertionResult RectIs(const RECT &r, LONG left, LONG top, LONG right, LONG bottom)
{
    const LONG actual[4] = { r.left, r.top, r.right, r.bottom };
    const LONG expected[4] = { left, top, right, bottom };
    bool same = true;
    for (int i = 0; i < 4; i++)
        same = same && (expected[i] == kAnyEdge || expected[i] == actual[i]);
    if (same)
        return ::testing::AssertionSuccess();
    auto edge = [](LONG e) { return e == kAnyEdge ? std::string("?") : std::to_string(e); };
    return ::testing::AssertionFailure() << "rectangle (" << r.left << ", " << r.top << ", " << r.right << ", "
                                         << r.bottom << "), expected (" << edge(left) << ", " << edge(top) << ", "
                                         << edge(right) << ", " << edge(bottom) << ")";
}

inline ::testing::AssertionResult RectIs(const RECT &r, const RECT &expected)
{
    return RectIs(r, expected.left, expected.top, expected.right, expected.bottom);
}

// The same by the top left corner and the size.
inline ::testing::AssertionResult RectAtSized(const RECT &r, LONG x, LONG y, LONG w, LONG h)
{
    return RectIs(r, x, y, x + w, y + h);
}
