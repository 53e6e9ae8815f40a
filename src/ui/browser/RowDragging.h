#pragma once

// The window's side of dragging rows out of a list: the drag cursor and the mouse grab, until the
// rows are dropped. Main thread only.
class RowDragging {
  public:
    virtual ~RowDragging() = default;
    virtual void beginRowDrag(int rows) = 0;
};
