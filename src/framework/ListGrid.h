// A text grid on the common list view in report mode: a header row with
// resizable columns, whole-row selection, grid lines and a fixed row height.
// Rows are addressed from 0, the header row not counted. The grid holds no
// text of its own (a virtual list view): each cell is asked of OnCellText
// when it is drawn, so a row costs nothing until it is seen.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "Controls.h"

#include <functional>
#include <string>

class TListGrid : public TControl {
public:
    TListGrid(TContainer& parent, const TBounds& bounds, int columnCount, int rowHeight);
    ~TListGrid() override;

    int ColumnCount() const { return columnCount_; }
    std::string ColumnCaption(int column) const;
    void SetColumnCaption(int column, const std::string& text);
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);
    // A column took a new width: the user dragged its divider, or the program set it.
    std::function<void(int column)> OnColumnWidthChanged;

    int RowCount() const;
    // The number of rows; their texts come from OnCellText, asked again
    // for every row as it is drawn.
    void SetRowCount(int count);
    // The cell's text as the list view shows it.
    std::string Cell(int column, int row) const;
    std::function<std::string(int column, int row)> OnCellText;
    int RowHeight() const;
    // The row's rectangle in the grid's client area; empty for no such row.
    RECT RowRect(int row) const;

    // -1 when no row is selected.
    int Selected() const;
    // A selection by program does not run OnClick.
    void SetSelected(int row);
    void Repaint();

    // A click on a row or a move of the selection by the user.
    std::function<void()> OnClick;
    // Asked for each row as it is drawn: answer true with a colour to draw
    // the row's text in it; false leaves the row as the grid draws it.
    std::function<bool(int row, COLORREF& textColor)> OnRowTextColor;

    bool HandleNotify(const NMHDR& header) override;
    // The answer to the grid's NM_CUSTOMDRAW, which its container forwards:
    // the result of that notification matters, so it cannot go through
    // HandleNotify.
    LRESULT CustomDraw(NMLVCUSTOMDRAW& draw) const;
    // The answer to the grid's LVN_ODFINDITEM, which its container forwards
    // (the found row is the notification's result): the next row from the
    // one asked whose first cell starts with the text typed, ignoring case,
    // going round to the top when asked to; -1 when none. Answers false for
    // any other notification.
    bool FindRow(const NMHDR& header, LRESULT& result) const;
    // The rows take their height again at the form's new DPI.
    void DpiChanged() override;

private:
    static LRESULT CALLBACK WatchColumns(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR grid);
    void FitRowHeight(int rowHeight);

    int columnCount_;
    int rowHeight_;  // 96-DPI pixels
    mutable std::string cellText_;  // kept alive for the list view that asked for it
    std::wstring cellTextW_;
    HIMAGELIST rowSizer_ = nullptr;
    bool selectingByProgram_ = false;
};
