// The layout of a screen as one table: every control in creation order (which is the tab
// order) with its kind, the text it shows and its place in dialog units, and the client area.
// One check per screen compares the table with the screen as built, so that the behaviour tests
// need not repeat where controls stand.
#pragma once

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/ui/screen.h"
#include "test_support.h"

namespace keytut::ui::testing {

struct LayoutRow {
    int id;
    ControlKind kind;
    std::string caption;  // the text shown when the screen opens (a list's chosen entry)
    int x, y, width, height;
};

struct ScreenLayout {
    int width, height;  // the client area in dialog units
    std::vector<LayoutRow> rows;
    // List boxes whose place reaches below the client area; they end at its bottom edge.
    std::vector<int> pastTheEdge = {};
    // The places given overlap (a main window laid out for fewer lesson groups than the data
    // has, labels as tall as the rows below them); elsewhere no control covers another.
    bool overlapping = false;
};

// Place{} printed in failures as its four numbers.
inline void PrintTo(const Place& p, std::ostream* os) {
    *os << "{" << p.x << ", " << p.y << ", " << p.width << ", " << p.height << "}";
}

inline const char* kindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton:
            return "PushButton";
        case ControlKind::Label:
            return "Label";
        case ControlKind::GroupBox:
            return "GroupBox";
        case ControlKind::ReadOnlyEdit:
            return "ReadOnlyEdit";
        case ControlKind::Edit:
            return "Edit";
        case ControlKind::DropDownList:
            return "DropDownList";
        case ControlKind::TextBox:
            return "TextBox";
        case ControlKind::SpokenText:
            return "SpokenText";
        case ControlKind::ListBox:
            return "ListBox";
    }
    return "?";
}

// No shown control stands over another, as the learner sees them; a group box holds its
// controls. A drop-down list counts as high as it is closed.
inline void expectNoneCovered(const Screen& screen) {
    const std::vector<int> ids = screen.controlIds();
    for (std::size_t i = 0; i < ids.size(); ++i) {
        for (std::size_t j = i + 1; j < ids.size(); ++j) {
            const QWidget* a = screen.control(ids[i]);
            const QWidget* b = screen.control(ids[j]);
            if (!a || !b || !a->isVisible() || !b->isVisible() ||
                screen.specOf(ids[i])->kind == ControlKind::GroupBox ||
                screen.specOf(ids[j])->kind == ControlKind::GroupBox)
                continue;
            EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                << "control " << ids[i] << " (\"" << screen.text(ids[i]) << "\") and control "
                << ids[j] << " (\"" << screen.text(ids[j]) << "\") overlap";
        }
    }
}

// The screen holds exactly the table's controls, in its order, each of its kind, text and place,
// in a client area of the table's size; and every widget stands where its place says in pixels,
// inside the window unless the table says it reaches beyond it.
inline void expectLayout(const Screen& screen, const ScreenLayout& layout) {
    std::vector<int> want;
    for (const LayoutRow& row : layout.rows)
        want.push_back(row.id);
    EXPECT_EQ(screen.controlIds(), want) << "controls in creation (tab) order";
    for (const LayoutRow& row : layout.rows) {
        const ControlSpec* spec = screen.specOf(row.id);
        if (!spec) {
            ADD_FAILURE() << "control " << row.id << " (\"" << row.caption << "\") is missing";
            continue;
        }
        EXPECT_STREQ(kindName(spec->kind), kindName(row.kind)) << "control " << row.id;
        EXPECT_EQ(screen.text(row.id), row.caption) << "control " << row.id;
        EXPECT_EQ(placeOf(screen, row.id), (Place{row.x, row.y, row.width, row.height}))
            << "control " << row.id << " (\"" << row.caption << "\")";
    }
    EXPECT_EQ(screen.size(), screen.toPixels(0, 0, layout.width, layout.height).size())
        << "client area " << layout.width << " x " << layout.height << " units";
    expectPlacedInPixels(screen, layout.pastTheEdge);
    std::set<int> seen;
    for (int id : screen.controlIds())
        EXPECT_TRUE(seen.insert(id).second) << "control " << id << " twice";
    if (!layout.overlapping)
        expectNoneCovered(screen);
}

}  // namespace keytut::ui::testing
