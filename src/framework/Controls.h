// Standard child controls placed on a form: labels, list boxes, the bevel line
// and the container panel. Each is a member of its form, created at once.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class TContainer;

struct TBounds {
    int left = 0, top = 0, width = 0, height = 0;
};

class TControl {
public:
    virtual ~TControl();
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    HWND Handle() const { return handle_; }
    std::string Text() const;
    void SetText(const std::string& text);
    bool Enabled() const;
    void SetEnabled(bool value);
    // Answers true when it handled a notification code of WM_COMMAND.
    virtual bool HandleCommand(WORD) { return false; }
    // Answers true when it handled a WM_NOTIFY it sent to its container.
    virtual bool HandleNotify(const NMHDR&) { return false; }
    // Answers true when it drew itself, asked by its container's WM_DRAWITEM.
    virtual bool HandleDrawItem(const DRAWITEMSTRUCT&) { return false; }
    // Its form was laid out at another DPI, the new font given.
    virtual void DpiChanged() {}

protected:
    TControl(TContainer& parent, const char* className, DWORD style, DWORD exStyle, const TBounds& bounds,
             const std::string& text = std::string());

private:
    TContainer& parent_;
    int id_;
    HWND handle_;
};

class TLabel : public TControl {
public:
    // A width of 0 sizes the label to its text, as an auto-sized label does.
    TLabel(TContainer& parent, const TBounds& bounds, const std::string& caption = std::string(),
           DWORD align = SS_LEFT);
    void SetCaption(const std::string& text);
    // A label sized to its text takes the size of its text in the new font.
    void DpiChanged() override { SetCaption(Text()); }

private:
    bool autoSize_;
};

// A horizontal sunken line.
class TBevel : public TControl {
public:
    TBevel(TContainer& parent, const TBounds& bounds);
};

// A framed area behind the other controls.
class TPanel : public TControl {
public:
    TPanel(TContainer& parent, const TBounds& bounds);
};

class TListBox : public TControl {
public:
    TListBox(TContainer& parent, const TBounds& bounds, int itemHeight = 0);

    int Add(const std::string& text);
    void Insert(int index, const std::string& text);
    void Clear();
    void Delete(int index);
    int Count() const;
    // The text of one item, read at its real length.
    std::string Items(int index) const;
    // First item, from the top, whose text equals `text` exactly; -1 when none.
    int IndexOfExact(const std::string& text) const;
    int ItemIndex() const;
    void SetItemIndex(int index);
    int TopIndex() const;
    void SetTopIndex(int index);

    std::function<void()> OnDblClick;
    std::function<void()> OnClick;  // the selection changed by the user
    bool HandleCommand(WORD code) override;

protected:
    // `style` adds to the list box's own styles (an owner-drawn list's).
    TListBox(TContainer& parent, const TBounds& bounds, int itemHeight, DWORD style);
};
