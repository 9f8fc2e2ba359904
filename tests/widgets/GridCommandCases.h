#pragma once

// The steps and cases of the window-against-list test: what the user does, named so that a
// case reads as the user's sequence. Grid rows count from 1.

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <vector>

namespace lintervale::testing {

enum class Act {
    Click,
    ShiftClick,
    RightClick,
    Drag, // a press on Row, held while moving to To
    DoubleClick,
    Key,          // Key with Modifiers, in the grid
    ClearAll,     // the button
    OpenSelected, // the menu item
    Quaverize,    // the button
    MoveRow,      // dragging Row's fixed cell onto To
    Add,          // dropping the file of torrent Text on the window
    HandOff,      // a later copy hands over the file of torrent Text
    SetStatus,    // something else wrote Text on the status line
};

struct Step {
    Act What;
    int Row = 0;
    int To = 0;
    int Key = 0;
    Qt::KeyboardModifiers Modifiers = Qt::NoModifier;
    const char* Text = "";
};

inline Step Click(int Row) {
    return {Act::Click, Row};
}
inline Step ShiftClick(int Row) {
    return {Act::ShiftClick, Row};
}
inline Step RightClick(int Row) {
    return {Act::RightClick, Row};
}
inline Step Drag(int From, int To) {
    return {Act::Drag, From, To};
}
inline Step DoubleClick(int Row) {
    return {Act::DoubleClick, Row};
}
inline Step Key(int Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
    return {Act::Key, 0, 0, Key, Modifiers};
}
inline Step Shift(int KeyCode) {
    return Key(KeyCode, Qt::ShiftModifier);
}
inline Step Ctrl(int KeyCode) {
    return Key(KeyCode, Qt::ControlModifier);
}
inline Step Do(Act What) {
    return {What};
}
inline Step MoveRow(int From, int To) {
    return {Act::MoveRow, From, To};
}
inline Step Add(const char* Name) {
    return {Act::Add, 0, 0, 0, Qt::NoModifier, Name};
}
inline Step HandOff(const char* Name) {
    return {Act::HandOff, 0, 0, 0, Qt::NoModifier, Name};
}
inline Step Status(const char* Text) {
    return {Act::SetStatus, 0, 0, 0, Qt::NoModifier, Text};
}

struct Case {
    const char* Name;
    int Torrents; // t1..tN, added in order: row 1 holds tN
    std::vector<Step> Setup;
    std::vector<Step> Command;
    QStringList Names = {}; // when given: the names afterwards, row 1 first
};

inline const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {"click", 4, {}, {Click(3)}},
        {"click on the current row names it again", 4, {Click(2), Status("other")}, {Click(2)}},
        {"click inside a wider selection", 4, {Click(1), ShiftClick(3)}, {Click(2)}},
        {"click below the last row", 2, {Click(2)}, {Click(6)}},
        {"shift+click below the anchor", 4, {Click(2)}, {ShiftClick(4)}},
        {"shift+click above the anchor", 4, {Click(3)}, {ShiftClick(1)}},
        {"drag over rows", 4, {}, {Drag(1, 3)}},
        // A press inside the selection drags the rows out only while it stays inside them.
        {"drag from inside the selection out of it", 5, {Click(1), ShiftClick(3)}, {Drag(2, 5)}},
        {"right click outside the selection", 4, {Click(1)}, {RightClick(3)}},
        {"right click inside the selection", 4, {Click(1), ShiftClick(3)}, {RightClick(2)}},
        {"down", 4, {Click(2)}, {Key(Qt::Key_Down)}},
        {"up", 4, {Click(2)}, {Key(Qt::Key_Up)}},
        {"shift+down twice", 4, {Click(1)}, {Shift(Qt::Key_Down), Shift(Qt::Key_Down)}},
        {"shift+up after shift+click", 4, {Click(1), ShiftClick(3)}, {Shift(Qt::Key_Up)}},
        {"home and end", 4, {Click(2)}, {Key(Qt::Key_End), Key(Qt::Key_Home)}},
        {"shift+end", 4, {Click(2)}, {Shift(Qt::Key_End)}},
        {"page down and up", 6, {Click(1)}, {Key(Qt::Key_PageDown), Key(Qt::Key_PageUp)}},
        {"down on the last row", 3, {Click(2), ShiftClick(3)}, {Key(Qt::Key_Down)}},
        {"up on the first row", 3, {Status("other")}, {Key(Qt::Key_Up)}},
        {"keys that move nothing",
         3,
         {Click(1), ShiftClick(2)},
         {Key(Qt::Key_Space), Key(Qt::Key_Right), Key(Qt::Key_Left), Key(Qt::Key_X)}},
        {"select all", 4, {Click(2)}, {Ctrl(Qt::Key_A)}},
        {"select all, then shift+up", 4, {}, {Ctrl(Qt::Key_A), Shift(Qt::Key_Up)}},
        {"remove selected twice",
         4,
         {Click(2)},
         {Key(Qt::Key_Delete), Key(Qt::Key_Delete)},
         {"t4", "t1"}},
        {"remove a range", 5, {Click(2), ShiftClick(4)}, {Key(Qt::Key_Delete)}, {"t5", "t1"}},
        {"remove the last row", 3, {Click(3)}, {Key(Qt::Key_Delete), Key(Qt::Key_Delete)}, {"t3"}},
        {"remove everything", 3, {Ctrl(Qt::Key_A)}, {Key(Qt::Key_Delete), Key(Qt::Key_Down)}, {""}},
        {"remove, then click", 4, {Click(1)}, {Key(Qt::Key_Delete), Click(2)}},
        {"clear all", 4, {Click(2)}, {Do(Act::ClearAll)}, {""}},
        {"clear all, then add", 3, {Click(3)}, {Do(Act::ClearAll), Add("t9")}, {"t9"}},
        {"delete trackers", 4, {Click(1), ShiftClick(3)}, {Ctrl(Qt::Key_D)}},
        {"copy", 4, {Click(2), ShiftClick(3)}, {Ctrl(Qt::Key_C)}},
        {"copy on an empty list", 0, {}, {Ctrl(Qt::Key_C)}},
        {"open with Enter", 4, {Click(1), ShiftClick(3)}, {Key(Qt::Key_Return)}},
        {"open selected from the menu", 3, {Ctrl(Qt::Key_A)}, {Do(Act::OpenSelected)}},
        {"double click", 3, {Click(1)}, {DoubleClick(2)}},
        {"open on an empty list",
         0,
         {},
         {Key(Qt::Key_Return), Do(Act::OpenSelected), DoubleClick(1)}},
        {"quaverize", 4, {Click(2), ShiftClick(3)}, {Do(Act::Quaverize)}},
        {"quaverize on an empty list", 0, {}, {Do(Act::Quaverize)}},
        {"edit tracker list with several rows", 3, {Click(1), ShiftClick(2)}, {Key(Qt::Key_F2)}},
        {"moving a row down", 4, {Click(1), ShiftClick(3)}, {MoveRow(1, 3)}},
        {"moving a row up, then Del", 4, {Click(2)}, {MoveRow(4, 1), Key(Qt::Key_Delete)}},
        {"ctrl+up and ctrl+down move the current row",
         4,
         {Click(3)},
         {Ctrl(Qt::Key_Up), Ctrl(Qt::Key_Up), Ctrl(Qt::Key_Up), Ctrl(Qt::Key_Down)},
         {"t4", "t2", "t3", "t1"}},
        {"ctrl+down in a selection, then Del",
         4,
         {Click(1), ShiftClick(3)},
         {Ctrl(Qt::Key_Down), Ctrl(Qt::Key_Down), Key(Qt::Key_Delete)},
         {"t4", "t3", "t1"}},
        {"an add during a selection", 4, {Click(2), ShiftClick(3)}, {Add("new")}},
        {"an add of a listed torrent", 4, {Click(1), ShiftClick(3)}, {Add("t1")}},
        {"a hand-off during a selection", 4, {Click(2), ShiftClick(4)}, {HandOff("handed")}},
        {"a hand-off of a listed torrent", 4, {Click(3), ShiftClick(1)}, {HandOff("t4")}},
        {"a hand-off, then Del",
         3,
         {Click(1), ShiftClick(2)},
         {HandOff("handed"), Key(Qt::Key_Delete)}},
    };
    return cases;
}

} // namespace lintervale::testing
