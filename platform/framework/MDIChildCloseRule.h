#pragma once
// What the main frame asks of a view before the MDI client destroys the
// view's child frame: a view may keep its window (a graph window still asked
// for by another open, an exhibit whose tail-factor analysis is still out in
// the tail program). The frame asks once per close request; a view that keeps
// its window says why to the user itself.
class IMDIChildCloseRule {
public:
    virtual ~IMDIChildCloseRule() = default;
    // True: the window stays.
    virtual bool KeepOnMDIDestroy() = 0;
};
