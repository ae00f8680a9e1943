#pragma once

// Colours of the plan, shared by the pictures, the text exports and the editor's view, so that a box
// reads the same everywhere: red for an error, orange for a warning, grey for an inactive tree, as the
// tree view colours its nodes.

#include "flow/flow_layout.h"

namespace flow {

struct BoxColours {
    const char* fill;
    const char* stroke;
    const char* text;
};

inline BoxColours boxColours(BoxKind kind, BoxState state) {
    switch (state) {
    case BoxState::Error:
        return {"#fdecea", "#d32f2f", "#b71c1c"};
    case BoxState::Warning:
        return {"#fff1e0", "#ff8000", "#8a4500"};
    case BoxState::Inactive:
        return {"#eeeeee", "#808080", "#808080"};
    case BoxState::Normal:
        break;
    }
    switch (kind) {
    case BoxKind::Tree:
        return {"#dcebf8", "#2f5f8a", "#12324f"};
    case BoxKind::Menu:
        return {"#fff6da", "#9a7a1c", "#3d3000"};
    case BoxKind::Exit:
        return {"#f3f0ec", "#8d6e63", "#3e2723"};
    case BoxKind::Action:
        break;
    }
    return {"#ffffff", "#607d8b", "#263238"};
}

inline const char* arrowColour(const PlanArrow& a) {
    if (a.dashed) return "#8d6e63";
    return a.jump ? "#1e6bb8" : "#546e7a";
}

} // namespace flow
